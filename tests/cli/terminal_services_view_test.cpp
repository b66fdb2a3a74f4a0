#include "cli/terminal_services_view.h"

#include <gtest/gtest.h>

#include <sstream>

#include "services/services.h"

namespace zivivar {
namespace {

TEST(TerminalServicesViewTest, TheBarIsDrawnInPlaceOnATerminalOnly) {
  for (const bool terminal : {false, true}) {
    SCOPED_TRACE(terminal);
    std::ostringstream err;
    TerminalServicesView view(err, {}, terminal, 80);
    int beap = 0;
    Services services(view, beap);
    services.SetStatus("Lesen");
    services.ProgressStart(4);
    services.ProgressStep();
    services.ProgressStep();
    EXPECT_EQ(err.str().find("\rLesen [##########..........]  50%\x1b[K") != std::string::npos,
              terminal);
    err.str("");
    // The bar goes before a message; the next step draws it again.
    services.ShowMessage("Fertig");
    services.ProgressStep();
    services.SetStatus(kIdleStatus);
    EXPECT_EQ(err.str(), terminal
                             ? "\r\x1b[KFertig\n\rLesen [###############.....]  75%\x1b[K\r\x1b[K"
                             : "Fertig\n");
  }
}

}  // namespace
}  // namespace zivivar
