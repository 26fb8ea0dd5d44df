#pragma once

// The program's version record, attached by the build: a translation line
// and one block of named string values per translation, as text. See
// VersionRecord.cpp.in for its shape.
const char* KantelVersionRecord();
