#include "execution/ProgramListing.h"

#include "app/AppState.h"
#include "app/FileHelpers.h"
#include "program/ProgramFile.h"

void ProgramListing::Update()
{
    m_items = SplitFileLines(ReadWholeFile(App().TempFilePath));
}

bool ProgramListing::UpdateTempFile() const
{
    return WriteWholeFile(App().TempFilePath, ProgramFileText(App().Properties, m_items, true));
}
