#pragma once
// The help window: the rules of Vantrick printed on the window's own surface, with a Close
// button that only hides it. One instance serves the whole run.

#include <QPushButton>
#include <QStringList>
#include <QWidget>

class frmHelp : public QWidget {
    Q_OBJECT
  public:
    frmHelp();

    QPushButton* btnClose = nullptr;

    void btnClose_Click();

  protected:
    void paintEvent(QPaintEvent*) override; // Form_Paint
    void changeEvent(QEvent* e) override;

  private:
    void SizeToText();
};

// The printed text, line by line: for each section a heading standing near the middle, an
// empty line and the body lines (each starting with one blank), sections separated by an
// empty line.
QStringList HelpLines();

// The one help window of the run, created on first use.
frmHelp& HelpForm();
// Shows the help window without making it modal and brings it to the front.
void ShowHelp();
