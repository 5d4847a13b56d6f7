#include "frontend/qt/Dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QStringList>
#include <QWidget>
#include <cstdio>
#include <cstdlib>

#include "frontend/qt/Print.h"
#include "frontend/qt/SaveFolderDialog.h"

namespace kirmel::qt {
namespace {

std::unique_ptr<Dialogs>& Installed() {
  static std::unique_ptr<Dialogs> dialogs;
  return dialogs;
}

QWidget* DialogParent() { return QApplication::activeWindow(); }

// Lines of a message are separated by carriage returns; a message box shows
// each as a line break.
QString MessageText(const std::string& text) {
  QString s = QString::fromStdString(text);
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  s.replace(QChar('\r'), QChar('\n'));
  return s;
}

int MessageBox(QMessageBox::Icon icon, const char* title, const std::string& text,
               QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton) {
  QMessageBox box(icon, QString::fromLatin1(title), MessageText(text), buttons, DialogParent());
  box.setDefaultButton(defaultButton);
  return box.exec();
}

// "Text (*.a)|*.a|All files (*.*)|*.*" -> "Text (*.a);;All files (*)".
QString QtFilter(const std::string& filter) {
  QStringList parts = QString::fromStdString(filter).split(QChar('|'));
  QStringList out;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString description = parts[i];
    QString pattern = parts[i + 1];
    pattern.replace(QStringLiteral("*.*"), QStringLiteral("*"));
    pattern.replace(QChar(';'), QChar(' '));
    description.replace(QStringLiteral("(*.*)"), QStringLiteral("(*)"));
    if (!description.contains(QChar('('))) description += " (" + pattern + ")";
    out << description;
  }
  return out.join(QStringLiteral(";;"));
}

std::optional<std::string> RunFileDialog(const TFileDialogOptions& options, bool save) {
  QFileDialog dialog(DialogParent(), QString::fromStdString(options.Title),
                     QString::fromStdString(options.StartDir), QtFilter(options.Filter));
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (!options.DefaultExtension.empty())
    dialog.setDefaultSuffix(QString::fromStdString(options.DefaultExtension));
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !options.AskOverwrite);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().first().toStdString();
}

void AbortOnFailure(const std::string& what) {
  std::fprintf(stderr, "Unscripted dialog: %s\n", what.c_str());
  std::abort();
}

}  // namespace

Dialogs& TheDialogs() {
  if (!Installed()) Installed() = std::make_unique<TQtDialogs>();
  return *Installed();
}

std::unique_ptr<Dialogs> InstallDialogs(std::unique_ptr<Dialogs> dialogs) {
  std::unique_ptr<Dialogs> old = std::move(Installed());
  Installed() = std::move(dialogs);
  return old;
}

const char* DialogKindName(TDialogKind kind) {
  switch (kind) {
    case TDialogKind::Error: return "error";
    case TDialogKind::Information: return "information";
    case TDialogKind::Confirm: return "Yes/No question";
    case TDialogKind::Question: return "OK/Cancel question";
    case TDialogKind::FolderBrowser: return "folder browser";
    case TDialogKind::OpenFile: return "open-file chooser";
    case TDialogKind::SaveFile: return "save-file chooser";
    case TDialogKind::PrinterSetup: return "printer set-up";
    case TDialogKind::SaveFolder: return "save-folder chooser";
    case TDialogKind::YesNoCancel: return "Yes/No/Cancel question";
  }
  return "dialog";
}

// ---- Qt ----

void TQtDialogs::Error(const std::string& text) {
  MessageBox(QMessageBox::Critical, "Error", text, QMessageBox::Ok, QMessageBox::Ok);
}

void TQtDialogs::Information(const std::string& text) {
  MessageBox(QMessageBox::Information, "Information", text, QMessageBox::Ok, QMessageBox::Ok);
}

bool TQtDialogs::Confirm(const std::string& text) {
  return MessageBox(QMessageBox::Question, "Confirm", text, QMessageBox::Yes | QMessageBox::No,
                    QMessageBox::Yes) == QMessageBox::Yes;
}

bool TQtDialogs::Question(const std::string& text) {
  return MessageBox(QMessageBox::Question, "Confirm", text, QMessageBox::Ok | QMessageBox::Cancel,
                    QMessageBox::Ok) == QMessageBox::Ok;
}

std::optional<std::string> TQtDialogs::BrowseFolder(const std::string& title,
                                                    const std::string& startDir,
                                                    bool mayCreateFolders) {
  QFileDialog dialog(DialogParent(), QString::fromStdString(title),
                     QString::fromStdString(startDir));
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly, true);
  // Read-only: no new folder, no renaming or deleting in the browser.
  dialog.setOption(QFileDialog::ReadOnly, !mayCreateFolders);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().first().toStdString();
}

std::optional<std::string> TQtDialogs::OpenFile(const TFileDialogOptions& options) {
  return RunFileDialog(options, false);
}

std::optional<std::string> TQtDialogs::SaveFile(const TFileDialogOptions& options) {
  return RunFileDialog(options, true);
}

bool TQtDialogs::PrinterSetup() {
  QPageSetupDialog dialog(&ThePrinter(), DialogParent());
  if (!PrinterInstalled()) dialog.setWindowTitle(QStringLiteral("Page setup of PDF files"));
  return dialog.exec() == QDialog::Accepted;
}

std::optional<std::string> TQtDialogs::ChooseSaveFolder(const std::string& title,
                                                        const std::string& parentDir,
                                                        const std::string& name,
                                                        const TFolderCheck& check) {
  TSaveFolderDialog dialog(QString::fromStdString(title), parentDir, name, DialogParent());
  dialog.SetCheck(check);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Path();
}

TChoice TQtDialogs::YesNoCancel(const std::string& text) {
  QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), MessageText(text),
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, DialogParent());
  box.setDefaultButton(QMessageBox::Yes);
  box.setEscapeButton(QMessageBox::Cancel);
  switch (box.exec()) {
    case QMessageBox::Yes: return TChoice::Yes;
    case QMessageBox::No: return TChoice::No;
    default: return TChoice::Cancel;
  }
}

// ---- scripted ----

TScriptedDialogs::TScriptedDialogs() : onFailure_(AbortOnFailure) {}

TScriptedDialogs& TScriptedDialogs::AnswerConfirm(bool yes) {
  answers_.push_back({TDialogKind::Confirm, yes, std::nullopt});
  return *this;
}
TScriptedDialogs& TScriptedDialogs::AnswerQuestion(bool ok) {
  answers_.push_back({TDialogKind::Question, ok, std::nullopt});
  return *this;
}
TScriptedDialogs& TScriptedDialogs::AnswerFolder(std::optional<std::string> dir) {
  answers_.push_back({TDialogKind::FolderBrowser, dir.has_value(), std::move(dir)});
  return *this;
}
TScriptedDialogs& TScriptedDialogs::AnswerOpenFile(std::optional<std::string> file) {
  answers_.push_back({TDialogKind::OpenFile, file.has_value(), std::move(file)});
  return *this;
}
TScriptedDialogs& TScriptedDialogs::AnswerSaveFile(std::optional<std::string> file) {
  answers_.push_back({TDialogKind::SaveFile, file.has_value(), std::move(file)});
  return *this;
}
TScriptedDialogs& TScriptedDialogs::AnswerPrinterSetup(bool ok) {
  answers_.push_back({TDialogKind::PrinterSetup, ok, std::nullopt});
  return *this;
}
TScriptedDialogs& TScriptedDialogs::AnswerSaveFolder(std::optional<std::string> dir) {
  answers_.push_back({TDialogKind::SaveFolder, dir.has_value(), std::move(dir)});
  return *this;
}
TScriptedDialogs& TScriptedDialogs::AnswerYesNoCancel(TChoice choice) {
  answers_.push_back({TDialogKind::YesNoCancel, choice == TChoice::Yes, std::nullopt, choice});
  return *this;
}

std::vector<std::string> TScriptedDialogs::Errors() const {
  std::vector<std::string> out;
  for (const TDialogRecord& r : records_)
    if (r.Kind == TDialogKind::Error) out.push_back(r.Text);
  return out;
}

std::vector<std::string> TScriptedDialogs::Infos() const {
  std::vector<std::string> out;
  for (const TDialogRecord& r : records_)
    if (r.Kind == TDialogKind::Information) out.push_back(r.Text);
  return out;
}

TScriptedDialogs::TAnswer TScriptedDialogs::Take(TDialogKind kind, const std::string& what) {
  if (!answers_.empty() && answers_.front().Kind == kind) {
    TAnswer answer = answers_.front();
    answers_.pop_front();
    return answer;
  }
  std::string message = std::string(DialogKindName(kind)) + " \"" + what + "\" came ";
  message += answers_.empty() ? std::string("with no answer scripted")
                              : std::string("while the next scripted answer is for a ") +
                                    DialogKindName(answers_.front().Kind);
  if (strict_) {
    if (onFailure_) onFailure_(message);
  } else {
    std::fprintf(stderr, "%s; answered as cancelled\n", message.c_str());
  }
  return {kind, false, std::nullopt};
}

void TScriptedDialogs::Error(const std::string& text) {
  records_.push_back({TDialogKind::Error, "Error", text});
}

void TScriptedDialogs::Information(const std::string& text) {
  records_.push_back({TDialogKind::Information, "Information", text});
}

bool TScriptedDialogs::Confirm(const std::string& text) {
  records_.push_back({TDialogKind::Confirm, "Confirm", text});
  return Take(TDialogKind::Confirm, text).Yes;
}

bool TScriptedDialogs::Question(const std::string& text) {
  records_.push_back({TDialogKind::Question, "Confirm", text});
  return Take(TDialogKind::Question, text).Yes;
}

std::optional<std::string> TScriptedDialogs::BrowseFolder(const std::string& title,
                                                          const std::string& startDir,
                                                          bool mayCreateFolders) {
  records_.push_back({TDialogKind::FolderBrowser, title, startDir, mayCreateFolders});
  return Take(TDialogKind::FolderBrowser, title).Path;
}

std::optional<std::string> TScriptedDialogs::OpenFile(const TFileDialogOptions& options) {
  records_.push_back({TDialogKind::OpenFile, options.Title, options.StartDir});
  return Take(TDialogKind::OpenFile, options.Title).Path;
}

std::optional<std::string> TScriptedDialogs::SaveFile(const TFileDialogOptions& options) {
  records_.push_back({TDialogKind::SaveFile, options.Title, options.StartDir});
  return Take(TDialogKind::SaveFile, options.Title).Path;
}

bool TScriptedDialogs::PrinterSetup() {
  records_.push_back({TDialogKind::PrinterSetup, "Printer setup", ""});
  return Take(TDialogKind::PrinterSetup, "Printer setup").Yes;
}

std::optional<std::string> TScriptedDialogs::ChooseSaveFolder(const std::string& title,
                                                              const std::string& parentDir,
                                                              const std::string& name,
                                                              const TFolderCheck& check) {
  std::string shown = name;
  for (;;) {
    records_.push_back({TDialogKind::SaveFolder, title, parentDir, false, shown});
    std::optional<std::string> path = Take(TDialogKind::SaveFolder, title).Path;
    const std::string problem = path && check ? check(*path) : std::string();
    if (problem.empty()) return path;
    Error(problem);
    // The chooser keeps what was typed after its folder.
    shown = path->starts_with(parentDir + "/") ? path->substr(parentDir.size() + 1) : *path;
  }
}

TChoice TScriptedDialogs::YesNoCancel(const std::string& text) {
  records_.push_back({TDialogKind::YesNoCancel, "Confirm", text});
  return Take(TDialogKind::YesNoCancel, text).Choice;
}

}  // namespace kirmel::qt
