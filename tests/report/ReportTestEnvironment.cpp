#include "ProgramFolderEnvironment.h"

namespace {

[[maybe_unused]] ::testing::Environment* const GEnvironment =
    ::testing::AddGlobalTestEnvironment(new lexmora::testing::TProgramFolderEnvironment("lexmora-report-tests"));

}  // namespace
