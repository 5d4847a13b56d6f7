#include "frontend/gui/About.h"

#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "frontend/editor/Editor.h"

namespace kirmel::gui {
namespace {

QLabel* Line(const QString& text, int pointSizeDelta = 0, bool bold = false) {
  auto* label = new QLabel(text);
  label->setAlignment(Qt::AlignCenter);
  QFont font = label->font();
  font.setPointSize(font.pointSize() + pointSizeDelta);
  font.setBold(bold);
  label->setFont(font);
  return label;
}

QHBoxLayout* OkRow(QDialog* dialog) {
  auto* ok = new QPushButton(QStringLiteral("OK"));
  ok->setObjectName(QStringLiteral("OKButton"));
  ok->setDefault(true);
  QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  row->addWidget(ok);
  row->addStretch(1);
  return row;
}

}  // namespace

TAboutForm::TAboutForm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("AboutBox"));
  setWindowTitle(QStringLiteral("About"));

  auto* frame = new QFrame;
  frame->setObjectName(QStringLiteral("Panel1"));
  frame->setFrameShape(QFrame::StyledPanel);
  frame->setFrameShadow(QFrame::Sunken);
  auto* lines = new QVBoxLayout(frame);
  lines->setContentsMargins(24, 16, 24, 16);
  lines->addWidget(Line(QStringLiteral("KIRMEL-GUI"), 6, true));
  lines->addWidget(Line(QStringLiteral("Graphical User Interface for KIRMEL")));
  lines->addSpacing(10);
  lines->addWidget(Line(QString::fromStdString("Version " + fe::TKirmelEditor::Version())));
  lines->addWidget(Line(QStringLiteral("Revision 1")));
  lines->addWidget(Line(QStringLiteral("Release date March 22nd, 1999")));
  panel_ = frame;
  frame->installEventFilter(this);
  for (QLabel* label : frame->findChildren<QLabel*>()) label->installEventFilter(this);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(frame);
  layout->addLayout(OkRow(this));
}

bool TAboutForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonDblClick) {
    TGreetingsForm greetings(this);
    greetings.exec();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

TGreetingsForm::TGreetingsForm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("GreetingsForm"));
  setWindowTitle(QStringLiteral("KIRMEL-GUI"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(24, 16, 24, 12);
  layout->addWidget(Line(QStringLiteral("KIRMEL-GUI"), 4, true));
  layout->addSpacing(8);
  layout->addWidget(Line(QStringLiteral("Release date March 22nd, 1999")));
  layout->addWidget(Line(QStringLiteral("Internal version 1.0.4")));
  layout->addSpacing(8);
  layout->addLayout(OkRow(this));
}

TSplashForm::TSplashForm(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
  setObjectName(QStringLiteral("SplashForm"));
  setWindowTitle(QStringLiteral("KIRMEL-GUI"));
  auto* frame = new QFrame;
  frame->setFrameShape(QFrame::Box);
  frame->setLineWidth(2);
  auto* lines = new QVBoxLayout(frame);
  lines->setContentsMargins(40, 28, 40, 28);
  lines->addWidget(Line(QStringLiteral("KIRMEL"), 14, true));
  lines->addWidget(Line(QStringLiteral("Fate of a pesticide in a ditch"), 2));
  lines->addSpacing(14);
  lines->addWidget(Line(QStringLiteral("KIRMEL-GUI")));
  lines->addWidget(Line(QStringLiteral("Graphical User Interface")));
  lines->addWidget(Line(QString::fromStdString("Version " + fe::TKirmelEditor::Version())));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(frame);
  setAutoFillBackground(true);
}

}  // namespace kirmel::gui
