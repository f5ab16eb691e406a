#pragma once
// Text layout, fonts and images need a QGuiApplication; tests that use them call
// ensureGuiApp() first (in SetUp). The application lives until the test program ends.

namespace arbor::test {

void ensureGuiApp();

}  // namespace arbor::test
