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

} // namespace

QString ProgramHelpHtml() {
    const DocumentTemplate& t = ProgramDocumentTemplate();
    QStringList html;
    html << QStringLiteral("<html><head><meta charset=\"utf-8\"><title>%1</title></head><body>")
                .arg(t.windowTitle.toHtmlEscaped());
    html << QStringLiteral("<h1>%1</h1>").arg(t.windowTitle.toHtmlEscaped());
    html
        << QStringLiteral(
               "<p>本程序通过串行电缆（RS-232 驱动器命令协议，或 RS-485 Modbus "
               "ASCII/RTU）连接一台交流伺服驱动器："
               "读取、编辑并写入驱动器的 161 个参数，将完整的参数组保存为 %1 文档，监视驱动器状态，"
               "并执行调机功能。</p>")
               .arg(t.extension.toHtmlEscaped());

    html << QStringLiteral("<h2>文件</h2><ul>");
    html << Item(QStringLiteral("新建"), QStringLiteral("建立一个所有参数均为默认值的文档。"));
    html << Item(QStringLiteral("打开"),
                 QStringLiteral("打开 %1 参数文档；也可将文档拖放到主窗口上。")
                     .arg(t.extension.toHtmlEscaped()));
    html << Item(QStringLiteral("保存 / 另存为"),
                 QStringLiteral("将参数写入 %1 文档；文件完整写入后才替换原文件。")
                     .arg(t.extension.toHtmlEscaped()));
    html << Item(QStringLiteral("复制至驱动器"), PromptOf(179));
    html << Item(QStringLiteral("复制至计算机"), PromptOf(180));
    html << QStringLiteral("</ul>");

    html << QStringLiteral("<h2>通信</h2><ul>");
    html << Item(
        QStringLiteral("连接端口设定"),
        QStringLiteral(
            "选择 COM 端口（及其对应的串行设备）与通讯传输率，立即连线并确认驱动器应答。"));
    html << Item(StringText(StringId::kConnectCaption).remove(QLatin1Char('&')),
                 QStringLiteral("要求连线；程序每 4 秒确认一次连线，每 400 毫秒读取驱动器状态。"));
    html << Item(StringText(StringId::kDisconnectCaption).remove(QLatin1Char('&')),
                 QStringLiteral("断开连线并关闭端口。"));
    html << QStringLiteral("</ul>");

    html << QStringLiteral("<h2>状态栏</h2><p>连线时，状态栏的八个栏位依序显示：</p><ol>");
    for (int id : StringId::kStatusPanes)
        html << QStringLiteral("<li>%1</li>").arg(StringText(id).trimmed().toHtmlEscaped());
    html << QStringLiteral("</ol>");

    html << QStringLiteral("<h2>监视与调机</h2><ul>");
    html << Item(QStringLiteral("状态表示参数"), PromptOf(155));
    html << Item(QStringLiteral("自动偏移调整"), PromptOf(160));
    html << QStringLiteral("</ul>");
    html << QStringLiteral("</body></html>");
    return html.join(QLatin1Char('\n'));
}
