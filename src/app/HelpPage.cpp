#include "app/HelpPage.h"

#include "app/DocumentTemplate.h"
#include "base/StringIds.h"
#include "base/StringTable.h"

#include <QStringList>

namespace {

// The part of a command prompt the status bar shows (before the line break); the tool tip
// follows it.
QString PromptOf(int id) {
    return StringText(id).section(QLatin1Char('\n'), 0, 0).toHtmlEscaped();
}

QString Item(const QString& name, const QString& text) {
    return QStringLiteral("<li><b>%1</b>：%2</li>").arg(name.toHtmlEscaped(), text);
}

QString Code(const QString& text) {
    return QStringLiteral("<code>%1</code>").arg(text.toHtmlEscaped());
}

void Start(QStringList& html, const QString& heading) {
    html << QStringLiteral("<h2>%1</h2><ul>").arg(heading.toHtmlEscaped());
}

void End(QStringList& html) {
    html << QStringLiteral("</ul>");
}

} // namespace

QString ProgramHelpHtml() {
    const DocumentTemplate& t = ProgramDocumentTemplate();
    const QString extension = t.extension.toHtmlEscaped();
    QStringList html;
    html << QStringLiteral("<html><head><meta charset=\"utf-8\"><title>%1</title></head><body>")
                .arg(t.windowTitle.toHtmlEscaped());
    html << QStringLiteral("<h1>%1</h1>").arg(t.windowTitle.toHtmlEscaped());
    html << QStringLiteral(
                "<p>本程序通过串行电缆（RS-232 驱动器命令协议，或 RS-485 Modbus "
                "ASCII/RTU）连接一台交流伺服驱动器：读取、编辑并写入驱动器的 161 "
                "个参数，将完整的参数组保存为 %1 文档，并监视驱动器状态。菜单中呈灰色的命令"
                "（监视窗口、追踪波形、点动、调谐、规划与机械特性分析）在本版本中尚未提供。</p>")
                .arg(extension);

    Start(html, QStringLiteral("不接驱动器试用"));
    html << Item(Code(QStringLiteral("orvan-servo --simulate")),
                 QStringLiteral("在程序内启动一台模拟驱动器并立即连线，所有窗口都可以照常使用，"
                                "写入的参数由模拟驱动器保存。"));
    End(html);

    Start(html, QStringLiteral("连接驱动器"));
    html << Item(QStringLiteral("连接端口设定"),
                 QStringLiteral(
                     "每个 COM 编号对应一个串行设备（USB 转串口通常为 %1），可从列表选择或直接输入"
                     "设备路径；选择通讯传输率（4800 至 115200，须与驱动器一致）后按确定，程序"
                     "立即连线并确认驱动器应答。")
                     .arg(Code(QStringLiteral("/dev/ttyUSB0"))));
    html << Item(QStringLiteral("权限"),
                 QStringLiteral("一般用户须属于 %1 组才能打开串行设备（%2，重新登录后生效）；"
                                "设备被其他程序占用时也无法打开，程序会说明原因。")
                     .arg(Code(QStringLiteral("dialout")),
                          Code(QStringLiteral("sudo usermod -aG dialout $USER"))));
    html << Item(QStringLiteral("RS-485"),
                 QStringLiteral("站号、RS-485 与 Modbus 数据格式取自设定档 %1。")
                     .arg(Code(QStringLiteral("OrvanServo.ini"))));
    html << Item(StringText(StringId::kConnectCaption).remove(QLatin1Char('&')),
                 QStringLiteral("要求连线；程序每 4 秒确认一次连线，每 400 毫秒读取驱动器状态，"
                                "断线后自动重新连线。"));
    html << Item(StringText(StringId::kDisconnectCaption).remove(QLatin1Char('&')),
                 QStringLiteral("断开连线并关闭端口。"));
    html << Item(
        QStringLiteral("命令行"),
        QStringLiteral("%1 以指定设备代替目前的 COM 编号，%2 启动后立即连线。")
            .arg(Code(QStringLiteral("--port DEVICE")), Code(QStringLiteral("--connect"))));
    End(html);

    Start(html, QStringLiteral("参数窗口"));
    html << Item(QStringLiteral("参数设定"),
                 QStringLiteral("以列表显示参数（依群组、依控制模式或自定义列表，由“变更”选择），"
                                "勾选的参数可一起写入、读取或恢复默认值；“编辑”或双击打开适合该"
                                "参数的编辑窗口（位数、接点功能、刚性、型号）；“比较”列出驱动器与"
                                "文档不同的参数。与文档不同的数值以颜色标示。"));
    html << Item(QStringLiteral("控制 / 转矩 / 速度 / 位置参数"),
                 QStringLiteral("一个群组的参数表格：在格中输入数值，选择一列后“写入”写入该参数，"
                                "“写入所有”与“读取所有”传送整个群组，“默认值”恢复默认值。"));
    html << Item(QStringLiteral("自定义参数"),
                 QStringLiteral("用户自选的参数表格，用法同群组窗口；“加入/移除”编辑列表，"
                                "下方显示所选参数的说明。列表保存在设定档中。"));
    html << Item(
        QStringLiteral("重新启动"),
        QStringLiteral("部分参数写入后须关闭驱动器电源再重新开启才生效，写入成功的讯息会提醒。"));
    End(html);

    Start(html, QStringLiteral("文件"));
    html << Item(QStringLiteral("新建"), QStringLiteral("建立一个所有参数均为默认值的文档。"));
    html << Item(QStringLiteral("打开"),
                 QStringLiteral("打开 %1 参数文档；也可将文档拖放到主窗口上。").arg(extension));
    html << Item(QStringLiteral("保存 / 另存为"),
                 QStringLiteral("将参数写入 %1 文档；文件完整写入后才替换原文件。").arg(extension));
    html << Item(QStringLiteral("复制至驱动器"), PromptOf(179));
    html << Item(QStringLiteral("复制至计算机"), PromptOf(180));
    html << Item(QStringLiteral("设定档"),
                 QStringLiteral("%1 位于 %2（程序文件夹中有此文件时使用该文件），关闭程序时写入。")
                     .arg(Code(QStringLiteral("OrvanServo.ini")),
                          Code(QStringLiteral("~/.config/Orvan/OrvanServo/"))));
    html << Item(QStringLiteral("恢复文件"),
                 QStringLiteral("程序被系统终止时，未保存的文档保存为 %1，下次启动时询问是否打开。")
                     .arg(Code(QStringLiteral("OrvanServo-recovery.nvp"))));
    End(html);

    html << QStringLiteral("<h2>状态栏</h2><p>连线时，状态栏的八个栏位依序显示：</p><ol>");
    for (int id : StringId::kStatusPanes)
        html << QStringLiteral("<li>%1</li>").arg(StringText(id).trimmed().toHtmlEscaped());
    html << QStringLiteral("</ol>");

    Start(html, QStringLiteral("命令行工具 orvan-cli"));
    html << Item(Code(QStringLiteral("orvan-cli --port DEVICE read-all -o FILE.nvp")),
                 QStringLiteral("读取驱动器的全部参数并存成文档。"));
    html << Item(Code(QStringLiteral("orvan-cli --port DEVICE write-all FILE.nvp")),
                 QStringLiteral("将文档的全部参数写入驱动器。"));
    html << Item(Code(QStringLiteral("orvan-cli --port DEVICE compare FILE.nvp")),
                 QStringLiteral("列出驱动器与文档不同的参数。"));
    html << Item(Code(QStringLiteral("orvan-cli nvp show FILE.nvp")),
                 QStringLiteral("不接驱动器显示文档内容；%1 列出全部命令。")
                     .arg(Code(QStringLiteral("orvan-cli --help"))));
    html << Item(Code(QStringLiteral("orvan-drive-sim")),
                 QStringLiteral("在虚拟终端上提供模拟驱动器，第一行输出其设备路径，可供 orvan-cli "
                                "或本程序的 --port 使用。"));
    End(html);
    html << QStringLiteral("</body></html>");
    return html.join(QLatin1Char('\n'));
}
