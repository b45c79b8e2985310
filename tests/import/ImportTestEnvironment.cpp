#include "ProgramFolderEnvironment.h"

namespace {

[[maybe_unused]] ::testing::Environment* const GEnvironment =
    ::testing::AddGlobalTestEnvironment(new lexmora::testing::TProgramFolderEnvironment("lexmora-import-tests"));

}  // namespace
