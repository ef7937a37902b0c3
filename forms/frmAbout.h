#pragma once
// The About box: the application's icon, title and version, and a button that starts the
// system's information tool. It is unloaded when closed and loaded afresh the next time.

#include <QDialog>
#include <QLabel>
#include <QPushButton>

class QFrame;

class frmAbout : public QDialog {
    Q_OBJECT
  public:
    frmAbout();
    ~frmAbout() override;

    QLabel* picIcon = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblDescription = nullptr;
    QLabel* lblDisclaimer = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdSysInfo = nullptr;
    QFrame* Line1 = nullptr; // the etched line between the text and the buttons

    void Form_Load();
    void cmdOK_Click();
    void cmdSysInfo_Click();

  protected:
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
};

// Loads the About box if it is not loaded, shows it without making it modal and brings
// it to the front.
void ShowAbout();
// The loaded About box, or nullptr once it has been unloaded (tests).
frmAbout* AboutFormIfOpen();
