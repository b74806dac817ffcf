// The product's files, stored in the installer as SZDD resources of the
// type named "RT_RCDATA", numbers 5000 to 5004.
#pragma once

#include <cstdint>

#include "engine/install_journal.h"

// Writes payload resourceId to the scratch file "tempfile.tmp" in the
// current folder in one write, expands it into fileName and deletes the
// scratch file.  Done when fileName holds the whole expanded file; on any
// failure no scratch file and no fileName are left, and the caller decides
// how the run ends.
InstallOutcome ExtractPayloadFile(uint32_t resourceId, const char* fileName);
