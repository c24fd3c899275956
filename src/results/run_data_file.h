// The run data file: every stored sample of a run record, one per CSV line, with the sweep
// parameters on the first data line.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "results/safe_file.h"
#include "sweep/run_record.h"

// Line 1 of every run data file, without its line end.
inline constexpr std::string_view runDataFileHeader =
    "Step,Entry,Entries,VR,VB,VC,IR,IB,IC,TIB,TVB,BGmode,VCmax,VCres,ICmax,IBstep,IBoffset,VBstep,VBoffset,"
    "StepQty,Cpulse,BGpulse,SampleRate,BaseClamping,GraphType,Notes1,Notes2";

// Columns 12 to 27 (BGmode ... Notes2) of the first data line, from the sweep parameters as they are now.
std::array<std::string, 16> runParameterFields();

// The whole file: header, then for each step 0..24 its entries 0..entryCount, CR LF after every line.
std::string runDataFileText(const RunRecord& record);

// Writes the run record to `path`; an older file of that name stays whole until the new one is complete.
FileWriteOutcome writeRunDataFile(const std::string& path);
