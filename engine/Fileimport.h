#pragma once
// Helpers shared by the text and SD-card files: file names, whole-file writing, and the
// electrode grid inferred from the positions of an imported sequence.
#include <cstddef>
#include <string>

#include "engine/Electsequence.h"

// name with its extension (from the last "." of the file name on) replaced by ext; ext is
// appended when the file name has no extension.
std::string ChangeFileExt(const std::string& name, const std::string& ext);
// The file name without its folder.
std::string ExtractFileName(const std::string& name);

// Writes size bytes to a new file beside target and renames it over target, so that a failed
// write never costs the previous file nor leaves a partial one.
bool ReplaceFileContents(const std::string& target, const void* data, std::size_t size);

// Which of the two import rules decides the grid type from the sums of |Y| and |Z|.
enum class TGridTypeRule { TextFile, SdCard };

// Infers grid type, offsets, spacings, node counts and node indices from the device electrode
// table entries of the placed electrodes (Nodes[k].Used = 1, k from the grid's FirstElectrode
// to LastElectrode). Returns "" or, when the electrodes cannot stand on the node map, the reason.
std::string InferGrid(TElectSequence& s, TGridTypeRule rule);
