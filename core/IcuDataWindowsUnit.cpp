// ICU's data linked into the Windows programs: the cut data file that
// scripts/install-cross-deps.sh makes, holding what word breaking needs. ICU takes the data under
// its entry-point symbol before it looks for files, so a program needs nothing beside it and never
// follows the data path compiled into the library (a build folder that no longer exists).
// Note: this defines the symbol that ICU's stub data library defines empty; this object is always
// linked, so the linker never takes the stub's.
#include <unicode/utypes.h>

#define LEXMORA_NAME_TEXT(AName) #AName
#define LEXMORA_SYMBOL_TEXT(AName) LEXMORA_NAME_TEXT(AName)

// ICU reads its tables in place and asks for 16-byte alignment.
asm(".section .rdata,\"dr\"\n"
    ".globl " LEXMORA_SYMBOL_TEXT(U_ICUDATA_ENTRY_POINT) "\n"
    ".balign 16\n"
    LEXMORA_SYMBOL_TEXT(U_ICUDATA_ENTRY_POINT) ":\n"
    ".incbin \"" LEXMORA_ICU_DATA_FILE "\"\n"
    ".text\n");
