#include "views/fmAbout.h"

#include "views/TvxResourceVersion.h"

#include <QDesktopServices>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace morvane {

namespace {

// The product's logo: a green disc with the initial, drawn so that no image file is needed.
QPixmap DrawLogo()
{
    QPixmap pixmap(64, 64);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 128, 0));
    painter.drawEllipse(2, 2, 60, 60);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(36);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(pixmap.rect(), Qt::AlignCenter, QStringLiteral("M"));
    return pixmap;
}

} // namespace

QString TfrmAbout::WebAddress()
{
    return QStringLiteral("https://www.morvane.com.br");
}

TfrmAbout::TfrmAbout(const TvxResourceVersion& texts, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About"));
    resize(304, 312);

    imgLogo = new QLabel(this);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setPixmap(DrawLogo());
    imgLogo->setAccessibleName(QStringLiteral("Logo"));

    lbProductName = new QLabel(texts.ProductName() + QLatin1Char(' ') + texts.ProductVersion(), this);
    lbProductName->setObjectName(QStringLiteral("lbProductName"));
    lbProductName->setWordWrap(true);
    lbProductName->setMinimumSize(153, 93);
    QFont big = lbProductName->font();
    big.setPixelSize(24);
    lbProductName->setFont(big);
    // The palette's colours, readable on a light or a dark desktop alike.
    lbProductName->setForegroundRole(QPalette::Link);

    lbl1FileVersion = new QLabel(QStringLiteral("Versão"), this);
    lbl1FileVersion->setObjectName(QStringLiteral("lbl1FileVersion"));
    lblFileVersion = new QLabel(texts.FileVersion(), this);
    lblFileVersion->setObjectName(QStringLiteral("lblFileVersion"));
    lbLegal = new QLabel(texts.LegalCopyright(), this);
    lbLegal->setObjectName(QStringLiteral("lbLegal"));
    lbLegal->setWordWrap(true);

    lbLink = new QLabel(this);
    lbLink->setObjectName(QStringLiteral("lbLink"));
    lbLink->setTextFormat(Qt::RichText);
    lbLink->setText(QStringLiteral("<a href=\"%1\" style=\"text-decoration: underline;\">%1</a>")
                        .arg(WebAddress().toHtmlEscaped()));
    lbLink->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    lbLink->setOpenExternalLinks(false);
    lbLink->setCursor(Qt::PointingHandCursor);
    lbLink->setAccessibleName(WebAddress());
    connect(lbLink, &QLabel::linkActivated, this, [this](const QString&) { lbLinkClick(); });

    auto* separator = new QFrame(this);
    separator->setObjectName(QStringLiteral("pnLine"));
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);

    btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);

    auto* top = new QHBoxLayout;
    top->addWidget(imgLogo, 0, Qt::AlignTop);
    top->addWidget(lbProductName, 1);
    auto* versionRow = new QHBoxLayout;
    versionRow->addWidget(lbl1FileVersion);
    versionRow->addWidget(lblFileVersion, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnOK);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(versionRow);
    layout->addWidget(lbLegal);
    layout->addWidget(lbLink);
    layout->addStretch(1);
    layout->addWidget(separator);
    layout->addLayout(buttons);
}

void TfrmAbout::lbLinkClick()
{
    QDesktopServices::openUrl(QUrl(WebAddress()));
}

} // namespace morvane
