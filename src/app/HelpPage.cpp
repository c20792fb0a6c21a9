#include "app/HelpPage.h"

#include "app/CommandTable.h"
#include "app/DocumentTemplate.h"
#include "base/CommandIds.h"
#include "base/StringIds.h"
#include "base/StringTable.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

// The part of a command prompt the status bar shows (before the line break); the tool tip
// follows it.
QString PromptOf(int id) {
    return StringText(id).section(QLatin1Char('\n'), 0, 0).toHtmlEscaped();
}

// A menu command's text as the menu shows it, without its access key and ellipsis.
QString MenuName(int command) {
    const CommandRow* row = FindCommand(command);
    QString text = row != nullptr ? CommandText(*row) : QString();
    text.remove(QRegularExpression(QStringLiteral("\\(&.\\)|\\(.\\)|&|\\.\\.\\.$")));
    return text.trimmed();
}

// One list entry; `name` is plain text, `text` HTML.
QString Item(const QString& name, const QString& text) {
    return QStringLiteral("<li><b>%1</b>：%2</li>").arg(name.toHtmlEscaped(), text);
}

QString Code(const QString& text) {
    return QStringLiteral("<code>%1</code>").arg(text.toHtmlEscaped());
}

// An entry named by a command line.
QString CodeItem(const QString& command, const QString& text) {
    return QStringLiteral("<li>%1：%2</li>").arg(Code(command), text);
}

void Start(QStringList& html, const QString& heading) {
    html << QStringLiteral("<h2>%1</h2><ul>").arg(heading.toHtmlEscaped());
}

void End(QStringList& html) {
    html << QStringLiteral("</ul>");
}

} // namespace

QString ProgramHelpHtml() {
    using namespace Command;
    const DocumentTemplate& t = ProgramDocumentTemplate();
    const QString extension = t.extension.toHtmlEscaped();
    QStringList html;
    html << QStringLiteral("<html><head><meta charset=\"utf-8\"><title>%1</title></head><body>")
                .arg(t.windowTitle.toHtmlEscaped());
    html << QStringLiteral("<h1>%1</h1>").arg(t.windowTitle.toHtmlEscaped());
    html << QStringLiteral(
                "<p>本程序通过串行电缆（RS-232 驱动器命令协议，或 RS-485 Modbus "
                "ASCII/RTU）连接一台交流伺服驱动器：读取、编辑并写入驱动器的 161 "
                "个参数，将完整的参数组保存为 %1 文档，监视驱动器状态，追踪波形，点动与调谐，"
                "规划接点与内部位置命令，分析机械特性，并打印参数报表。需要驱动器的命令在连线前"
                "呈灰色；与已打开的窗口互相排斥的命令呈灰色，或在该窗口打开时不动作。</p>")
                .arg(extension);

    Start(html, QStringLiteral("不接驱动器试用"));
    html << CodeItem(QStringLiteral("orvan-servo --simulate"),
                     QStringLiteral("在程序内启动一台模拟驱动器并立即连线，所有窗口都可以照常使用，"
                                    "写入的参数由模拟驱动器保存。"));
    html << Item(MenuName(SimulatedDrive),
                 QStringLiteral("（%1菜单，仅在模拟时）Servo On、十三个输入接点、发生与清除警报、"
                                "外部速度命令以及负载惯量比、共振频率、阻尼比与主回路电压；"
                                "“重新启动”如同关闭电源后再重新输入电源：写入的参数生效，"
                                "Servo OFF，电机停止。按 Esc 关闭此窗口。")
                     .arg(MenuTitle(Menu::View).remove(QStringLiteral("(&V)")).toHtmlEscaped()));
    html << Item(QStringLiteral("让电机转动"),
                 QStringLiteral(
                     "在“%1”中将 Cn001 设为 1（速度模式）并写入，在“%2”中按“重新启动”，"
                     "勾选 Servo On，输入外部速度命令（例如 5 V）并按 Enter；“%3”的 Un-01 显示电机"
                     "速度，“%4”可记录其波形。")
                     .arg(MenuName(ControlParameters), MenuName(SimulatedDrive),
                          MenuName(StatusMonitor), MenuName(Trace)));
    End(html);

    Start(html, QStringLiteral("连接驱动器"));
    html << Item(MenuName(PortSettings),
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
    html << Item(MenuName(Connect),
                 QStringLiteral("要求连线。连线后程序每 400 毫秒读取驱动器状态，每 4 秒确认一次"
                                "驱动器是否应答；驱动器不再应答时显示“通讯错误！！”并断开，"
                                "须再按“连线”。端口无法打开时（例如转接器被拔出）程序每 4 秒"
                                "重试一次。"));
    html << Item(MenuName(Disconnect), QStringLiteral("断开连线并关闭端口。"));
    html << Item(
        QStringLiteral("命令行"),
        QStringLiteral("%1 以指定设备代替目前的 COM 编号，%2 启动后立即连线。")
            .arg(Code(QStringLiteral("--port DEVICE")), Code(QStringLiteral("--connect"))));
    End(html);

    Start(html, QStringLiteral("参数窗口"));
    html << Item(MenuName(ParameterEditor),
                 QStringLiteral("以列表显示参数（依群组、依控制模式或自定义列表，由“变更”选择），"
                                "勾选的参数可一起写入、读取或恢复默认值；“编辑”或双击打开适合该"
                                "参数的编辑窗口（位数、接点功能、刚性、型号）；“比较”列出驱动器与"
                                "文档不同的参数。与文档不同的数值以颜色标示。"));
    html << Item(MenuName(OnlineEditing),
                 QStringLiteral("四个参数，各以数码显示与每位数的上下按钮调整；每次按下立即写入"
                                "驱动器，效果在运转中即可看到。“设定”选择这四个参数（仅限不需"
                                "重新启动即生效的参数）。"));
    html << Item(QStringLiteral("控制 / 转矩 / 速度 / 位置参数"),
                 QStringLiteral("一个群组的参数表格：在格中输入数值，选择一列后“写入”写入该参数，"
                                "“写入所有”与“读取所有”传送整个群组，“默认值”恢复默认值。"));
    html << Item(MenuName(CustomParameters),
                 QStringLiteral("用户自选的参数表格，用法同群组窗口；“加入/移除”编辑列表，"
                                "下方显示所选参数的说明。列表保存在设定档中。"));
    html << Item(
        QStringLiteral("重新启动"),
        QStringLiteral("部分参数写入后须关闭驱动器电源再重新开启才生效，写入成功的讯息会提醒。"));
    End(html);

    Start(html, QStringLiteral("监视"));
    html << Item(MenuName(StatusMonitor),
                 QStringLiteral("勾选 Un-01 至 Un-19 中要看的状态值，连线时每 400 毫秒更新。"));
    html << Item(MenuName(Diagnostics),
                 QStringLiteral("dn-01 至 dn-04，每个输入输出接点一盏灯，标签取自接点参数"
                                "（Hn501 至 Hn517）。"));
    html << Item(
        MenuName(AlarmHistory),
        QStringLiteral("驱动器最近的十次警报，最新的在上；“更新”重新读取，“清除”清除履历。"));
    html << Item(MenuName(Trace),
                 QStringLiteral("不接驱动器也可打开追踪波形文档（*.trd）；连线时“Trace Setting”"
                                "与“START”在驱动器中设定并记录两个数据与接点的波形。游标读取时间"
                                "与数值；可存为 .trd、CSV 或 PNG，或拷贝至剪贴簿。"));
    End(html);

    Start(html, QStringLiteral("工具"));
    html << Item(MenuName(Jog),
                 QStringLiteral("“正转”与“反转”以设定的速度转动电机，“停止”使其停止；关闭窗口"
                                "即结束点动模式。"));
    html << Item(MenuName(AutoTuning),
                 QStringLiteral("关闭自动增益调谐、选择在线调谐，或执行离线调谐（驱动器反复运转"
                                "测试图形并估计负载惯量比，结果可写入 Cn025）。"));
    html << Item(MenuName(AutoOffset),
                 QStringLiteral("确认后由驱动器自动调整电压命令（模拟输入）的零点偏移。"));
    html << Item(MenuName(ContactPlanning),
                 QStringLiteral("读取 Hn501 至 Hn519，在矩阵中规划输入输出接点的功能后写回驱动器"
                                "（驱动器重新启动后生效）。"));
    html << Item(MenuName(PositionPlanning),
                 QStringLiteral("读取、编辑并写回内部位置命令的模式、平滑时间与十六组位置命令"
                                "（圈数、脉冲数与速度）。"));
    html << Item(MenuName(MachineAnalysis),
                 QStringLiteral("测量驱动器与负载的频率响应，显示增益与相位曲线，以游标读取共振"
                                "与反共振，并据此设定共振抑制滤波器（Cn013、Cn014）。"));
    End(html);

    Start(html, QStringLiteral("文件"));
    html << Item(MenuName(FileNew), QStringLiteral("建立一个所有参数均为默认值的文档。"));
    html << Item(MenuName(FileOpen),
                 QStringLiteral("打开 %1 参数文档；也可将文档拖放到主窗口上。").arg(extension));
    html << Item(QStringLiteral("保存 / 另存为"),
                 QStringLiteral("将参数写入 %1 文档；文件完整写入后才替换原文件。").arg(extension));
    html << Item(MenuName(CopyToDrive), PromptOf(179));
    html << Item(MenuName(CopyToComputer), PromptOf(180));
    html << Item(QStringLiteral("打印 / 打印预览 / 导出 PDF"),
                 QStringLiteral("将文档印成四页参数报表；没有打印机时可导出 PDF。"));
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
    html << CodeItem(QStringLiteral("orvan-cli --port DEVICE read-all -o FILE.nvp"),
                     QStringLiteral("读取驱动器的全部参数并存成文档。"));
    html << CodeItem(QStringLiteral("orvan-cli --port DEVICE write-all FILE.nvp"),
                     QStringLiteral("将文档的全部参数写入驱动器。"));
    html << CodeItem(QStringLiteral("orvan-cli --port DEVICE compare FILE.nvp"),
                     QStringLiteral("列出驱动器与文档不同的参数。"));
    html << CodeItem(
        QStringLiteral("orvan-cli --port DEVICE monitor"),
        QStringLiteral("连续显示状态值（也可记录为 CSV）；%1 与 %2 显示诊断与警报履历。")
            .arg(Code(QStringLiteral("diag")), Code(QStringLiteral("alarms"))));
    html << CodeItem(QStringLiteral("orvan-cli nvp show FILE.nvp"),
                     QStringLiteral("不接驱动器显示文档内容；%1 列出全部命令。")
                         .arg(Code(QStringLiteral("orvan-cli --help"))));
    html << CodeItem(QStringLiteral("orvan-drive-sim"),
                     QStringLiteral("在虚拟终端上提供模拟驱动器，第一行输出其设备路径，可供 "
                                    "orvan-cli 或本程序的 --port 使用；标准输入接受控制行"
                                    "（%1 列出）。")
                         .arg(Code(QStringLiteral("help"))));
    End(html);
    html << QStringLiteral("</body></html>");
    return html.join(QLatin1Char('\n'));
}
