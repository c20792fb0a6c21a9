#include "app/ui/QtMessenger.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>

// A caption longer than its message still shows whole in the title bar.
TEST(QtMessenger, BoxIsAsWideAsItsCaption) {
    QtMessenger messenger;
    Message message;
    message.text = QStringLiteral("否");
    message.caption = QString::fromUtf8("读取驱动器参数前是否保存目前的文档并继续读取");
    int boxWidth = 0;
    int captionWidth = 0;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        boxWidth = box->width();
        captionWidth = box->fontMetrics().horizontalAdvance(box->windowTitle());
        box->button(QMessageBox::Ok)->click();
    });
    EXPECT_EQ(messenger.Show(message), MessageAnswer::Ok);
    EXPECT_GT(captionWidth, 0);
    EXPECT_GE(boxWidth, captionWidth + 100);
}

// A line that fits on the screen is not broken by the box: the bracketed note of the offset
// question keeps its "]", the permission message its command.
TEST(QtMessenger, LinesThatFitTheScreenAreNotBroken) {
    const QString texts[] = {
        QString::fromUtf8(
            "现在要执行电压命令偏移自动调整吗？\n\n[ "
            "注意：请先将模拟命令输入接点SIN(CN1-26)与模拟接地接点AG(CN1-29)短接。 ]"),
        QString::fromUtf8("无法访问 /dev/ttyUSB0：没有权限。请将当前用户加入 dialout "
                          "组，重新登录后再试：\nsudo usermod -aG dialout $USER"),
    };
    for (const QString& text : texts) {
        QtMessenger messenger;
        Message message;
        message.text = text;
        message.caption = QString::fromUtf8("信息");
        int labelWidth = 0;
        int longestLine = 0;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
            ASSERT_NE(label, nullptr);
            labelWidth = label->contentsRect().width();
            for (const QString& line : text.split(QLatin1Char('\n')))
                longestLine = std::max(longestLine, label->fontMetrics().horizontalAdvance(line));
            box->button(QMessageBox::Ok)->click();
        });
        messenger.Show(message);
        EXPECT_GT(longestLine, 0);
        EXPECT_GE(labelWidth, longestLine) << text.toStdString();
    }
}
