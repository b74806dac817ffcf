// The product's files, stored in the installer as SZDD resources of the
// type named "RT_RCDATA", numbers 5000 to 5004.
#pragma once

#include <cstdint>

// Writes payload resourceId to the scratch file "tempfile.tmp" in the
// current folder in one write, expands it into fileName and deletes the
// scratch file.  Returns only when fileName holds the whole expanded file;
// any failure ends the run with a fatal error and leaves no scratch file.
void ExtractPayloadFile(uint32_t resourceId, const char* fileName);
