// A program file read, saved and read again gives the same listing and properties, and its saved
// form drops nothing; saved as a script it gives the same listing.

#include "FuzzSupport.h"
#include "program/ProgramFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const ParsedProgram first = ParseProgramText(FuzzText(data, size), ProgramProperties());
    for (const bool asScript : {false, true}) {
        const QByteArray saved = EncodeFileText(ProgramFileText(first.properties, first.listing, asScript));
        const ParsedProgram again = ParseProgramText(DecodeFileText(saved), ProgramProperties());
        FUZZ_CHECK(again.listing == first.listing);
        FUZZ_CHECK(!again.droppedLines);
        FUZZ_CHECK(asScript || again.properties == first.properties);
    }
    return 0;
}
