// ICU's data linked into the Windows and WebAssembly programs: the cut data file that
// scripts/install-cross-deps.sh and scripts/install-web-deps.sh make, holding what word breaking
// needs. ICU takes the data under its entry-point symbol before it looks for files, so a program
// needs nothing beside it and never follows the data path compiled into the library (a build
// folder that no longer exists, or none at all in a browser).
// Note: this defines the symbol that ICU's stub data library defines empty; this object is always
// linked, so the linker never takes the stub's.
#include <unicode/utypes.h>

#define LEXMORA_NAME_TEXT(AName) #AName
#define LEXMORA_SYMBOL_TEXT(AName) LEXMORA_NAME_TEXT(AName)
#define LEXMORA_ICU_SYMBOL LEXMORA_SYMBOL_TEXT(U_ICUDATA_ENTRY_POINT)

// ICU reads its tables in place and asks for 16-byte alignment. WebAssembly objects want the
// symbol's type and size besides.
// clang-format off
#if defined(__wasm__)
asm(".section .rodata.lexmora_icu_data,\"\",@\n"
    ".globl " LEXMORA_ICU_SYMBOL "\n"
    ".type " LEXMORA_ICU_SYMBOL ",@object\n"
    ".p2align 4\n"
    LEXMORA_ICU_SYMBOL ":\n"
    ".incbin \"" LEXMORA_ICU_DATA_FILE "\"\n"
    ".size " LEXMORA_ICU_SYMBOL ", . - " LEXMORA_ICU_SYMBOL "\n");
#else
asm(".section .rdata,\"dr\"\n"
    ".globl " LEXMORA_ICU_SYMBOL "\n"
    ".balign 16\n"
    LEXMORA_ICU_SYMBOL ":\n"
    ".incbin \"" LEXMORA_ICU_DATA_FILE "\"\n"
    ".text\n");
#endif
// clang-format on
