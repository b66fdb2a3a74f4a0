#include <gtest/gtest.h>

#include <sstream>

#include "cli/terminal_dialog_view.h"
#include "cli/terminal_services_view.h"
#include "services/services.h"

namespace zivivar {
namespace {

TEST(TerminalServicesViewTest, MessagesPrintTheirExactTextAndQuestionsTheirAnswer) {
  std::ostringstream err;
  TerminalServicesView view(err, {kIdOk, kIdRetry}, false);
  int beap = 1;
  Services services(view, beap);

  services.ShowMessage("\nController ist gelöscht !\n");
  EXPECT_EQ(services.AskOkCancel("*** Controller löschen ***\n\n"), kIdOk);
  EXPECT_EQ(services.AskRetryCancel("Fehler"), kIdRetry);
  services.ShowPlainMessage("Diagnose");
  EXPECT_EQ(err.str(),
            "\nController ist gelöscht !\n"
            "*** Controller löschen ***\n\n-> OK\n"
            "Fehler\n-> Retry\n"
            "Diagnose\n");
}

TEST(TerminalServicesViewTest, CancelIsTheDefaultAnswer) {
  std::ostringstream err;
  TerminalServicesView view(err, {}, false);
  EXPECT_EQ(view.ShowMessageBox(MessageKind::kOkCancel, "Meldung", "Löschen?"), kIdCancel);
  EXPECT_EQ(view.ShowMessageBox(MessageKind::kRetryCancel, "Meldung", "Fehler"), kIdCancel);
  EXPECT_EQ(err.str(), "Löschen?\n-> Cancel\nFehler\n-> Cancel\n");
}

TEST(TerminalServicesViewTest, WithoutATerminalNoStatusOrBarIsPrinted) {
  std::ostringstream err;
  TerminalServicesView view(err, {}, false);
  int beap = 1;
  Services services(view, beap);
  services.SetStatus("Leertest Codespeicher");
  services.ProgressStart(100);
  for (int i = 0; i < 100; ++i)
    services.ProgressStep();
  services.SetStatus(kIdleStatus);
  EXPECT_EQ(err.str(), "");
}

TEST(TerminalServicesViewTest, OnATerminalTheBarIsRedrawnInPlaceAndClearedForMessages) {
  std::ostringstream err;
  TerminalServicesView view(err, {}, true, 80);
  int beap = 0;
  Services services(view, beap);
  services.SetStatus("Lesen");
  services.ProgressStart(4);
  services.ProgressStep();
  services.ProgressStep();
  const std::string half = "\rLesen [##########..........]  50%\x1b[K";
  EXPECT_NE(err.str().find(half), std::string::npos) << err.str();

  err.str("");
  services.ShowMessage("Fertig");
  // The bar goes before the message; the next step draws it again.
  EXPECT_EQ(err.str(), "\r\x1b[KFertig\n");
  err.str("");
  services.ProgressStep();
  EXPECT_EQ(err.str(), "\rLesen [###############.....]  75%\x1b[K");
  err.str("");
  services.SetStatus(kIdleStatus);
  EXPECT_EQ(err.str(), "\r\x1b[K");
}

TEST(TerminalServicesViewTest, LongStatusTextsAreCutBetweenCharactersToFitTheLine) {
  std::ostringstream err;
  TerminalServicesView view(err, {}, true, 40);
  // 40 columns less one less the bar leave 11 characters for the text.
  view.SetStatusText("Prüfen Prüfen Prüfen");
  EXPECT_EQ(err.str(), "\rPrüfen Prüf [....................]   0%\x1b[K");
}

TEST(TerminalServicesViewTest, AnInterruptBecomesACancelAtTheNextPump) {
  std::ostringstream err;
  TerminalServicesView view(err, {}, false);
  int beap = 0;
  Services services(view, beap);
  bool interrupted = false;
  view.SetInterruptPoll([&] { return interrupted; });
  view.SetCancelHandler([&] { services.RequestCancel(); });
  services.PumpMessages();
  EXPECT_FALSE(services.CancelRequested());
  interrupted = true;
  EXPECT_FALSE(services.CancelRequested());
  services.PumpMessages();
  EXPECT_TRUE(services.CancelRequested());
}

TEST(TerminalDialogViewTest, FileDialogsAreAnsweredByTheCommandLine) {
  TerminalDialogView view;
  FileDialogRequest request;
  request.default_extension = "hex";
  request.selected_filter = 3;
  EXPECT_FALSE(view.RunOpenDialog(request).accepted);
  EXPECT_FALSE(view.RunSaveDialog(request).accepted);

  view.AnswerOpenDialog("dir/fw.ihx");
  FileDialogResult opened = view.RunOpenDialog(request);
  EXPECT_TRUE(opened.accepted);
  EXPECT_EQ(opened.path, "dir/fw.ihx");
  EXPECT_EQ(opened.file_name, "fw.ihx");
  EXPECT_EQ(opened.filter, 3);

  // As the dialog does, a name without an extension gets the default one.
  view.AnswerSaveDialog("out/image", 6);
  FileDialogResult saved = view.RunSaveDialog(request);
  EXPECT_TRUE(saved.accepted);
  EXPECT_EQ(saved.path, "out/image.hex");
  EXPECT_EQ(saved.file_name, "image.hex");
  EXPECT_EQ(saved.filter, 6);
}

}  // namespace
}  // namespace zivivar
