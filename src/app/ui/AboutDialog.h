#pragma once

#include <QDialog>

class QLabel;

// "关于 Orvan Servo": program icon, name, logo, the maker's web address as a link, OK.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);


private:
    QLabel* link_ = nullptr;
};
