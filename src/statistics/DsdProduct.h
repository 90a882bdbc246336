#pragma once
#include "DsdInterval.h"
#include "DsdProductLayout.h"
#include "DsdProductRow.h"

#include <string>

class CPluvicamDoc;

// What a drop size distribution product file says about the document it came from.

// The classes and global attributes for the document's drop size distribution settings (take
// them before the first Run: a Run clears the figures its mode does not use) and its first main
// header. `history` goes in as it stands.
DsdProductLayout MakeDsdProductLayout(CPluvicamDoc &doc, bool moments, const std::string &history);

// The interval that the document's last Run computed, with its times from the document's
// interval record.
DsdProductRow MakeDsdProductRow(CPluvicamDoc &doc, const DsdInterval &interval, bool moments);

// "YYYY-MM-DDTHH:MM:SSZ" of a time in seconds since 1970 (UTC), for history lines.
std::string UtcStamp(long long seconds);
