#pragma once
// CAboutDlg: "About Wavelathe Pro...", the program's icon, name and version, shown modally.

#include <QDialog>

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};
