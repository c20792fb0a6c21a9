#include "app/ui/QtMessenger.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

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
    EXPECT_EQ(messenger.show(message), MessageAnswer::Ok);
    EXPECT_GT(captionWidth, 0);
    EXPECT_GE(boxWidth, captionWidth + 100);
}
