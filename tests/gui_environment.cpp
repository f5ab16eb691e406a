// Text layout and fonts need the application before any fixture builds a document.
#include <gtest/gtest.h>

#include "support/gui_app.h"

namespace {

class GuiEnvironment : public ::testing::Environment {
  public:
    void SetUp() override { arbor::test::ensureGuiApp(); }
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

}  // namespace
