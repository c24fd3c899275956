// Names of saved results: the stem built from the naming options, the date, the time and the run
// number, and the run number that follows each save.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

struct ResultNaming {
    std::string graphTitle = "*Set Title Here*"; // drawn on the graph; never stored in a file
    std::string fileStem;                        // the name last generated
};

inline ResultNaming resultNaming;

void resetResultNamingDefaults();

// Builds fileStem from the naming options and runNumber at the local time now (or at `when`).
std::string generateFileStem();
std::string generateFileStem(const std::tm& when);

// The characters < > : " / \ | ? * taken out of a name.
std::string withoutForbiddenCharacters(const std::string& name);
// The integer value of a run number text clamped to 0..9999, as four digits ("12" gives "0012").
std::string normalisedRunNumber(const std::string& text);
// After a save with a run number in the name: the next number, stored at once.
void advanceRunNumber();
