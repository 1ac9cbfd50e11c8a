#pragma once
// Every generator written as the plain nested loops it is defined by: the reference that the
// generators of the engine are compared with.
#include <cstdint>
#include <memory>

#include "engine/Electsequence.h"

struct GeneratorCase {
    const char* name;
    std::int32_t (TElectSequence::*generator)();
    std::int32_t (*plain)(TElectSequence&);
    bool borehole;  // runs on a borehole grid; the others on line and surface grids
    std::int32_t arrayType;
};

// All eighteen, in the order of their array types.
extern const GeneratorCase kGeneratorCases[18];

// Layout helpers shared by the generator tests and benchmarks.
std::unique_ptr<TElectSequence> NewSequence(std::int32_t gridType, int nx, int ny, std::int32_t arrayType);
// Electrode k on the node at 1-based column ix and row iy.
void Place(TElectSequence& s, int k, int ix, int iy);
// Electrodes 1, 2, ... on every node of the NX x NY grid, row after row.
void FillGrid(TElectSequence& s);
void Select(TElectSequence& s, int a, int n);
void SelectAll(TElectSequence& s);
// One row of the depth-level grid, every other level: (a, 1), (a, 3), ..., (a, 127).
void SelectSparse(TElectSequence& s, int a);
