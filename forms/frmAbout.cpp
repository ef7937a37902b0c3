#include "frmAbout.h"

#include "DataFiles.h"
#include "Fonts.h"
#include "Platform.h"
#include "Waits.h"

#include <QCloseEvent>
#include <QFile>
#include <QFontMetrics>
#include <QFrame>
#include <QGridLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QVBoxLayout>

namespace {

frmAbout* g_about = nullptr; // the loaded box, if any

QIcon ApplicationIcon(const QWidget* w) {
    const QString path = DataFiles::AssetPath(QStringLiteral("vantrick.svg"));
    if (QFile::exists(path)) {
        QIcon icon(path);
        if (!icon.isNull()) return icon;
    }
    return w->windowIcon();
}

} // namespace

frmAbout::frmAbout() {
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false);
    setModal(false);

    picIcon = new QLabel(this);
    picIcon->setAccessibleName(QStringLiteral("Vantrick icon"));
    const int iconSide = 48;
    picIcon->setFixedSize(iconSide, iconSide);
    picIcon->setPixmap(ApplicationIcon(this).pixmap(iconSide, iconSide));

    lblTitle = new QLabel(QStringLiteral("Application Title"), this);
    lblTitle->setFont(DesignFont(Face::Verdana, 14));
    lblVersion = new QLabel(QStringLiteral("Version"), this);
    lblVersion->setFont(DesignFont(Face::Verdana, 9));
    lblDescription =
        new QLabel(QStringLiteral("A completely addicitve and fun card game for all ages."), this);
    lblDescription->setFont(DesignFont(Face::Verdana, 9, Plain));
    lblDescription->setWordWrap(true);
    lblDisclaimer =
        new QLabel(QStringLiteral("Warning: Vantrick has been known to turn a quick game after dinner "
                                  "into a long evening at the card table. Play responsibly."),
                   this);
    lblDisclaimer->setFont(DesignFont(Face::Verdana, 8, Plain));
    lblDisclaimer->setWordWrap(true);

    Line1 = new QFrame(this);
    // A sunken line is drawn as a dark and a light line, the etched look.
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);
    Line1->setAccessibleName(QStringLiteral("Separator line"));

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setDefault(true);
    cmdOK->setAutoDefault(true);
    cmdSysInfo = new QPushButton(QStringLiteral("&System Info..."), this);
    cmdSysInfo->setAutoDefault(false);
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    // Its message waits like every dialog of the game, so the click runs as a chain.
    connect(cmdSysInfo, &QPushButton::clicked, this,
            [this] { Waits::RunChain([this] { cmdSysInfo_Click(); }); });

    // Icon beside the title block; below the line the disclaimer beside the buttons.
    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(16);
    grid->addWidget(picIcon, 0, 0, 3, 1, Qt::AlignTop);
    grid->addWidget(lblTitle, 0, 1);
    grid->addWidget(lblVersion, 1, 1);
    grid->addWidget(lblDescription, 2, 1);
    grid->addWidget(Line1, 3, 0, 1, 3);
    grid->addWidget(lblDisclaimer, 4, 0, 1, 2, Qt::AlignTop);
    auto* buttons = new QVBoxLayout();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);
    buttons->addStretch(1);
    grid->addLayout(buttons, 4, 2);
    grid->setRowMinimumHeight(3, 20);
    grid->setColumnStretch(1, 1);
    const int buttonWidth = cmdSysInfo->sizeHint().width();
    cmdOK->setMinimumWidth(buttonWidth);
    cmdSysInfo->setMinimumWidth(buttonWidth);
    buttons->setSpacing(6);
    // The description is one line; the box keeps the size its contents need.
    lblDescription->setMinimumWidth(
        QFontMetrics(lblDescription->font()).horizontalAdvance(lblDescription->text()) + 2);
    grid->setSizeConstraint(QLayout::SetFixedSize);

    g_about = this;
    Form_Load();
}

frmAbout::~frmAbout() {
    if (g_about == this) g_about = nullptr;
}

void frmAbout::Form_Load() {
    setWindowTitle(QStringLiteral("About ") + AppTitle());
    lblVersion->setText(QStringLiteral("Version ") + AppVersion());
    lblTitle->setText(AppTitle());
}

void frmAbout::cmdOK_Click() {
    close();
}

void frmAbout::closeEvent(QCloseEvent* e) {
    // However it is closed, the box is unloaded: from now on the next ShowAbout builds a
    // new one, even before this one is actually destroyed.
    QDialog::closeEvent(e);
    if (e->isAccepted() && g_about == this) g_about = nullptr;
}

void frmAbout::cmdSysInfo_Click() {
    StartSysInfo(this);
}

void frmAbout::keyPressEvent(QKeyEvent* e) {
    // Escape presses OK, like Enter: the box has one way out.
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
        cmdOK->click();
        return;
    }
    QDialog::keyPressEvent(e);
}

void ShowAbout() {
    if (!g_about) new frmAbout();
    g_about->show();
    g_about->raise();
    g_about->activateWindow();
}

frmAbout* AboutFormIfOpen() {
    return g_about;
}
