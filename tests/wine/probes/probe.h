// Probe programs are built from the installer's own sources and act out one
// piece of it, chosen by QV_PROBE, so that Wine tests can drive that piece
// alone.  They write what they saw into the file named by QV_PROBE_REPORT.
#pragma once

#include <windows.h>

#include <string>

std::string ProbeSetting(const char* name);
void ProbeReport(const std::string& line);
