// The maker's logo sliding along the banner, and the two home-page links.

#include "gui/app/home_pages.h"
#include "gui/app/main_window.h"
#include "gui/platform/shell.h"

namespace xyx {
namespace {

constexpr int kLogoGap = 20;  // space kept to the neighbour at each turning point
constexpr double kTolerance = 0.0000001;

}  // namespace

// Moves first, then decides the direction of the next step, so each end position is held for
// one period.
void MainWindow::MoveBannerLogo() {
  if (state_.bannerMovingLeft) {
    makerLogo_->move(makerLogo_->x() - 1, makerLogo_->y());
    const double bound = playerPicture_->x() + playerPicture_->width() + kLogoGap;
    if (makerLogo_->x() - bound < -kTolerance) state_.bannerMovingLeft = false;
  } else {
    makerLogo_->move(makerLogo_->x() + 1, makerLogo_->y());
    const double right = makerLogo_->x() + makerLogo_->width();
    const double bound = productPicture_->x() - kLogoGap;
    if (right - bound > kTolerance) state_.bannerMovingLeft = true;
  }
}

void MainWindow::OpenMakerHomePage() {
  OpenInShell(kMakerHomePage);
}

void MainWindow::OpenProductHomePage() {
  OpenInShell(productLink_->linkTarget());
}

}  // namespace xyx
