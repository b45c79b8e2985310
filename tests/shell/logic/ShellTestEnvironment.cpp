#include "ProgramFolderEnvironment.h"

namespace {

[[maybe_unused]] ::testing::Environment* const GEnvironment =
    ::testing::AddGlobalTestEnvironment(new lexmora::test_support::TProgramFolderEnvironment("lexmora-shell-tests"));

}  // namespace
