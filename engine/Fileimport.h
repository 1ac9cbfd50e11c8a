#pragma once
// Helpers shared by the text and SD-card files: file names and the electrode grid inferred from
// the positions of an imported sequence.
#include <cstddef>
#include <string>

#include "engine/Electsequence.h"

// name with its extension (from the last "." of the file name on) replaced by ext; ext is
// appended when the file name has no extension.
std::string ChangeFileExt(const std::string& name, const std::string& ext);
// The file name without its folder.
std::string ExtractFileName(const std::string& name);
// The extension of the file name, from its last "." on, lower-cased; empty when there is none.
std::string LowerCaseExt(const std::string& name);

// The extensions of the three formats, as LowerCaseExt gives them.
constexpr const char* kSequenceExt = ".sqz";
constexpr const char* kTextExt = ".txt";
constexpr const char* kSdCardExt = ".sds";

// What an import puts in place of the extension of the file it reads, for the .sqz it writes:
// x.txt gives x.sqz, x.sds gives xSdsToSqz.sqz.
constexpr const char* kTextImportEnding = ".sqz";
constexpr const char* kSdCardImportEnding = "SdsToSqz.sqz";

// Which of the two import rules decides the grid type from the sums of |Y| and |Z|.
enum class TGridTypeRule { TextFile, SdCard };

// Infers grid type, offsets, spacings, node counts and node indices from the device electrode
// table entries of the placed electrodes (Nodes[k].Used = 1, k from the grid's FirstElectrode
// to LastElectrode). Returns "" or, when the electrodes cannot stand on the node map, the reason.
std::string InferGrid(TElectSequence& s, TGridTypeRule rule);
