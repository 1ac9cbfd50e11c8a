#include "tests/engine/generator_oracle.h"

#include <cmath>
#include <vector>

namespace {
constexpr int kCols = 1320, kRows = 192;

struct Plain {
    TElectSequence& s;
    std::vector<std::uint32_t>& map;  // [column][row]
    std::uint16_t counter[9] = {};
    int q = 0;
    int NX, NY;

    explicit Plain(TElectSequence& seq) : s(seq), map(Storage()), NX(seq.Grid.NX), NY(seq.Grid.NY) {
        map.assign(kCols * kRows, 0);
        for (int k = 0; k < 1320; ++k) {
            const TElectGridNode& nd = s.Grid.Nodes[k];
            if (nd.Used == 1 && nd.IX >= 1 && nd.IX <= kCols && nd.IY >= 1 && nd.IY <= kRows)
                map[(nd.IX - 1) * kRows + (nd.IY - 1)] = k;
        }
    }
    // One map for every run, so that many runs in a row stay quick under the sanitizers.
    static std::vector<std::uint32_t>& Storage() {
        static std::vector<std::uint32_t> storage;
        return storage;
    }
    std::uint32_t e(int c, int r) const {
        return c >= 0 && c < kCols && r >= 0 && r < kRows ? map[c * kRows + r] : 0;
    }
    bool sel(int a, int n) const { return s.SpacingLevels[a - 1].Selected[n - 1] != 0; }

    // to: 'X', 'Y', 'B' (Y then X), 'A' (absolute value into Y)
    void store(std::uint32_t A, std::uint32_t B, std::uint32_t M, std::uint32_t N, int n, int a, char to) {
        if (q >= 16000) return;
        ++counter[a - 1];
        const std::uint32_t abmn[4] = {A, B, M, N};
        s.SetQuadripole(q, abmn, n, a, 1, counter[a - 1]);
        const float d = s.QuadInfo[q].Depth;
        if (to == 'X' && d > s.MaxDepthX) s.MaxDepthX = d;
        if ((to == 'Y' || to == 'B') && d > s.MaxDepthY) s.MaxDepthY = d;
        if (to == 'B' && d > s.MaxDepthX) s.MaxDepthX = d;
        if (to == 'A' && std::fabs(d) > s.MaxDepthY) s.MaxDepthY = std::fabs(d);
        ++q;
    }

    // Selected cells, a outer and n inner, ascending or both descending.
    template <class F>
    void cells(bool desc, F f) const {
        for (int i = 1; i <= 9; ++i)
            for (int j = 1; j <= 128; ++j) {
                const int a = desc ? 10 - i : i, n = desc ? 129 - j : j;
                if (sel(a, n)) f(a, n);
            }
    }
    // Nodes row by row. Every array starts from the node's electrode, so an empty node is
    // passed over here at once.
    template <class F>
    void nodes(bool backward, F f) const {
        for (int i = 0; i < NY; ++i)
            for (int j = 0; j < NX; ++j) {
                const int r = backward ? NY - 1 - i : i, c = backward ? NX - 1 - j : j;
                if (const std::uint32_t k = e(c, r)) f(c, r, k);
            }
    }
};

std::int32_t DipoleDipole(TElectSequence& s) {
    Plain p(s);
    p.nodes(false, [&](int c, int r, std::uint32_t A) {
        if (p.NX > 1)
            p.cells(false, [&](int a, int n) {
                if (c + 2 * a + n < 1320) {
                    auto B = p.e(c + a, r), M = p.e(c + a + n, r), N = p.e(c + 2 * a + n, r);
                    if (B && M && N) p.store(A, B, M, N, n, a, 'X');
                }
            });
        if (p.NY > 1)
            p.cells(false, [&](int a, int n) {
                if (r + 2 * a + n < 192) {
                    auto B = p.e(c, r + a), M = p.e(c, r + a + n), N = p.e(c, r + 2 * a + n);
                    if (B && M && N) p.store(A, B, M, N, n, a, 'Y');
                }
            });
    });
    return p.q;
}

std::int32_t DipoleDipoleEquatorial(TElectSequence& s) {
    Plain p(s);
    p.nodes(false, [&](int c, int r, std::uint32_t A) {
        if (p.NX > 1)
            p.cells(false, [&](int a, int n) {
                if (c + n < 1320 && r + a < 192) {
                    auto B = p.e(c, r + a), M = p.e(c + n, r), N = p.e(c + n, r + a);
                    if (B && M && N) p.store(A, B, M, N, n, a, 'X');
                }
            });
        if (p.NY > 1)
            p.cells(false, [&](int a, int n) {
                if (c + a < 1320 && r + n < 192) {
                    auto B = p.e(c + a, r), M = p.e(c, r + n), N = p.e(c + a, r + n);
                    if (B && M && N) p.store(A, B, M, N, n, a, 'Y');
                }
            });
    });
    return p.q;
}

// Pole-dipole forward along both axes, or mirrored along X with the reverse node order.
std::int32_t PoleDipole(TElectSequence& s, bool reverse) {
    Plain p(s);
    p.nodes(reverse, [&](int c, int r, std::uint32_t B) {
        if (p.NX > 1)
            p.cells(false, [&](int a, int n) {
                if (!reverse && c + a + n < 1320) {
                    auto M = p.e(c + n, r), N = p.e(c + a + n, r);
                    if (M && N) p.store(0, B, M, N, n, a, 'X');
                }
                if (reverse && c - a - n >= 0 && c + a + n < 1320) {
                    auto M = p.e(c - n, r), N = p.e(c - a - n, r);
                    if (M && N) p.store(0, B, M, N, n, a, 'X');
                }
            });
        if (p.NY > 1)
            p.cells(false, [&](int a, int n) {
                if (r + a + n < 192) {
                    auto M = p.e(c, r + n), N = p.e(c, r + a + n);
                    if (M && N) p.store(0, B, M, N, n, a, 'Y');
                }
            });
    });
    return p.q;
}

std::int32_t Wenner(TElectSequence& s, bool desc) {
    Plain p(s);
    p.nodes(false, [&](int c, int r, std::uint32_t A) {
        if (p.NX > 1)
            p.cells(desc, [&](int a, int n) {
                if (c + 3 * n < 1320) {
                    auto B = p.e(c + 3 * n, r), M = p.e(c + n, r), N = p.e(c + 2 * n, r);
                    if (B && M && N) p.store(A, B, M, N, n, a, 'X');
                }
            });
        if (p.NY > 1)
            p.cells(desc, [&](int a, int n) {
                if (r + 3 * n < 192) {
                    auto B = p.e(c, r + 3 * n), M = p.e(c, r + n), N = p.e(c, r + 2 * n);
                    if (B && M && N) p.store(A, B, M, N, n, a, 'Y');
                }
            });
    });
    return p.q;
}

std::int32_t WennerSchlumberger(TElectSequence& s, bool desc) {
    Plain p(s);
    p.nodes(false, [&](int c, int r, std::uint32_t A) {
        if (p.NX > 1)
            p.cells(desc, [&](int a, int n) {
                if (c + a + 2 * n < 1320) {
                    auto B = p.e(c + a + 2 * n, r), M = p.e(c + n, r), N = p.e(c + a + n, r);
                    if (B && M && N) p.store(A, B, M, N, n, a, 'X');
                }
            });
        if (p.NY > 1)
            p.cells(desc, [&](int a, int n) {
                if (r + a + 2 * n < 192) {
                    auto B = p.e(c, r + a + 2 * n), M = p.e(c, r + n), N = p.e(c, r + a + n);
                    if (B && M && N) p.store(A, B, M, N, n, a, 'Y');
                }
            });
    });
    return p.q;
}

std::int32_t WSReciprocal(TElectSequence& s) {
    Plain p(s);
    p.nodes(false, [&](int c, int r, std::uint32_t A) {
        if (p.NX > 1)
            p.cells(false, [&](int a, int n) {
                if (c + a + 2 * n < 1320 && c - n >= 0) {
                    auto B = p.e(c + a, r), M = p.e(c - n, r), N = p.e(c + a + n, r);
                    if (B && M && N) p.store(A, B, M, N, n, a, 'X');
                }
            });
        if (p.NY > 1)
            p.cells(false, [&](int a, int n) {
                if (r + a + 2 * n < 192 && r - n >= 0) {
                    auto B = p.e(c, r + a), M = p.e(c, r - n), N = p.e(c, r + a + n);
                    if (B && M && N) p.store(A, B, M, N, n, a, 'Y');
                }
            });
    });
    return p.q;
}

std::int32_t Gradient(TElectSequence& s) {
    Plain p(s);
    p.nodes(false, [&](int c, int r, std::uint32_t M) {
        if (p.NX > 1)
            p.cells(false, [&](int a, int n) {
                if (c + a + n < 1320)
                    if (auto N = p.e(c + n, r)) p.store(0, 0, M, N, n, a, 'X');
            });
        if (p.NY > 1)
            p.cells(false, [&](int a, int n) {
                if (r + a + n < 192)
                    if (auto N = p.e(c, r + n)) p.store(0, 0, M, N, n, a, 'Y');
            });
    });
    return p.q;
}

std::int32_t CompletePolePole(TElectSequence& s) {
    Plain p(s);
    p.nodes(false, [&](int c, int r, std::uint32_t B) {
        if (p.NX > 1)
            p.cells(false, [&](int a, int n) {
                if (c + n < 1320)
                    if (auto M = p.e(c + n, r)) p.store(0, B, M, 0, n, a, 'X');
            });
        if (p.NY > 1)
            p.cells(false, [&](int a, int n) {
                if (r + n < 192)
                    if (auto M = p.e(c, r + n)) p.store(0, B, M, 0, n, a, 'Y');
            });
        p.cells(false, [&](int a, int n) {
            if (c + n < 1320)
                p.cells(false, [&](int, int m) {
                    if (r + m < 192)
                        if (auto M = p.e(c + n, r + m)) p.store(0, B, M, 0, n, a, 'Y');
                });
        });
    });
    return p.q;
}

std::int32_t MultiGradient(TElectSequence& s) {
    Plain p(s);
    p.nodes(false, [&](int c, int r, std::uint32_t A) {
        if (p.NX > 1)
            p.cells(false, [&](int a, int n) {
                if (c + (n + 2) * a < 1320)
                    if (auto B = p.e(c + (n + 2) * a, r))
                        for (int k = 1; k <= n; ++k) {
                            auto M = p.e(c + k * a, r), N = p.e(c + (k + 1) * a, r);
                            if (M && N) p.store(A, B, M, N, n, a, 'X');
                        }
            });
        if (p.NY > 1)
            p.cells(false, [&](int a, int n) {
                if (r + (n + 2) * a < 192)
                    if (auto B = p.e(c, r + (n + 2) * a))
                        for (int k = 1; k <= n; ++k) {
                            auto M = p.e(c, r + k * a), N = p.e(c, r + (k + 1) * a);
                            if (M && N) p.store(A, B, M, N, n, a, 'Y');
                        }
            });
    });
    return p.q;
}

std::int32_t CrossDiagonalDipoleDipole(TElectSequence& s) {
    Plain p(s);
    p.nodes(false, [&](int c, int r, std::uint32_t A) {
        if (p.NX > 1)
            p.cells(false, [&](int a, int n) {
                if (c + 2 * a + n < 1320) {
                    auto B = p.e(c + a, r), M = p.e(c + a + n, r), N = p.e(c + 2 * a + n, r);
                    if (B && M && N) p.store(A, B, M, N, n, a, 'X');
                }
            });
        if (p.NY > 1)
            p.cells(false, [&](int a, int n) {
                if (r + 2 * a + n < 192 && c + 2 * a + n < 1320) {
                    auto B = p.e(c + a, r + a), M = p.e(c + a + n, r + a + n), N = p.e(c + 2 * a + n, r + 2 * a + n);
                    if (B && M && N) p.store(A, B, M, N, n, a, 'Y');
                }
            });
        if (p.NY > 1 && p.NX > 1)
            p.cells(false, [&](int a, int n) {
                if (r + 2 * a + n < 192) {
                    auto B = p.e(c, r + a), M = p.e(c, r + a + n), N = p.e(c, r + 2 * a + n);
                    if (B && M && N) p.store(A, B, M, N, n, a, 'B');
                }
            });
    });
    return p.q;
}

std::int32_t CrossDiagonalPoleDipole(TElectSequence& s, bool reverse) {
    Plain p(s);
    p.nodes(reverse, [&](int c, int r, std::uint32_t B) {
        if (p.NX > 1)
            p.cells(false, [&](int a, int n) {
                if (!reverse && c + a + n < 1320) {
                    auto M = p.e(c + n, r), N = p.e(c + a + n, r);
                    if (M && N) p.store(0, B, M, N, n, a, 'X');
                }
                if (reverse && c - a - n >= 0 && c + a + n < 1320) {
                    auto M = p.e(c - n, r), N = p.e(c - a - n, r);
                    if (M && N) p.store(0, B, M, N, n, a, 'X');
                }
            });
        if (p.NY > 1)
            p.cells(false, [&](int a, int n) {
                if (r + a + n < 192) {
                    auto M = p.e(c, r + n), N = p.e(c, r + a + n);
                    if (M && N) p.store(0, B, M, N, n, a, 'Y');
                }
            });
        if (p.NY > 1 && p.NX > 1)
            p.cells(false, [&](int a, int n) {
                if (r + a + n < 192 && c + a + n < 1320) {
                    auto M = p.e(c + n, r + n), N = p.e(c + a + n, r + a + n);
                    if (M && N) p.store(0, B, M, N, n, a, 'B');
                }
            });
    });
    return p.q;
}

std::int32_t CrossDiagonalPolePole(TElectSequence& s) {
    Plain p(s);
    p.nodes(false, [&](int c, int r, std::uint32_t B) {
        if (p.NX > 1)
            p.cells(false, [&](int a, int n) {
                if (c + n < 1320)
                    if (auto M = p.e(c + n, r)) p.store(0, B, M, 0, n, a, 'X');
            });
        if (p.NY > 1)
            p.cells(false, [&](int a, int n) {
                if (r + n < 192)
                    if (auto M = p.e(c, r + n)) p.store(0, B, M, 0, n, a, 'Y');
            });
        if (p.NY > 1 && p.NX > 1)
            p.cells(false, [&](int a, int n) {
                if (r + n < 192 && c + n < 1320)
                    if (auto M = p.e(c + n, r + n)) p.store(0, B, M, 0, n, a, 'Y');
            });
    });
    return p.q;
}

std::int32_t BoreholeDiagonal(TElectSequence& s) {
    Plain p(s);
    p.nodes(false, [&](int c, int r, std::uint32_t A) {
        if (p.NX > 2)
            p.cells(false, [&](int a, int n) {
                if (c + 2 * a + n < 1320) {
                    auto B = p.e(c + a, r), M = p.e(c + a + n, r), N = p.e(c + 2 * a + n, r);
                    if (B && M && N) p.store(A, B, M, N, n, a, 'X');
                }
            });
        if (p.NY > 3)
            p.cells(false, [&](int a, int n) {
                if (r + 2 * a + n < 192)
                    for (int k = 0; k < p.NX; ++k) {
                        auto B = p.e(k, r + a), M = p.e(k, r + a + n), N = p.e(k, r + 2 * a + n);
                        if (B && M && N) p.store(A, B, M, N, n, a, 'A');
                    }
            });
        if (p.NY > 2)
            p.cells(false, [&](int a, int n) {
                if (r + a + n - 1 < 192)
                    if (auto B = p.e(c, r + a))
                        for (int c2 = c + 1; c2 < p.NX; ++c2) {
                            auto M = p.e(c2, r + n - 1), N = p.e(c2, r + n - 1 + a);
                            if (M && N) p.store(A, B, M, N, n, a, 'A');
                        }
            });
    });
    return p.q;
}

std::int32_t BoreholeEquatorial(TElectSequence& s) {
    Plain p(s);
    p.nodes(false, [&](int c, int r, std::uint32_t A) {
        if (p.NY > 2)
            p.cells(false, [&](int a, int n) {
                if (r + a + n - 1 < 192)
                    for (int c2 = c + 1; c2 < p.NX; ++c2) {
                        auto B = p.e(c2, r), M = p.e(c, r + a + n - 1), N = p.e(c2, r + a + n - 1);
                        if (B && M && N) p.store(A, B, M, N, n, a, 'A');
                    }
            });
    });
    return p.q;
}
}  // namespace

const GeneratorCase kGeneratorCases[18] = {
    {"DipoleDipole", &TElectSequence::ComputeDipoleDipole, DipoleDipole, false, 1},
    {"DipoleDipoleEquatorial", &TElectSequence::ComputeDipoleDipoleEquatorial, DipoleDipoleEquatorial, false, 2},
    {"PoleDipoleForward", &TElectSequence::ComputePoleDipoleForward, [](TElectSequence& s) { return PoleDipole(s, false); }, false, 3},
    {"PoleDipoleReverse", &TElectSequence::ComputePoleDipoleReverse, [](TElectSequence& s) { return PoleDipole(s, true); }, false, 4},
    {"Wenner", &TElectSequence::ComputeWenner, [](TElectSequence& s) { return Wenner(s, false); }, false, 5},
    {"WennerDelPolar", &TElectSequence::ComputeWennerDelPolar, [](TElectSequence& s) { return Wenner(s, true); }, false, 5},
    {"WennerSchlumberger", &TElectSequence::ComputeWennerSchlumberger, [](TElectSequence& s) { return WennerSchlumberger(s, false); }, false, 6},
    {"WennerSchlumbergerDelPolar", &TElectSequence::ComputeWennerSchlumbergerDelPolar, [](TElectSequence& s) { return WennerSchlumberger(s, true); }, false, 6},
    {"WSReciprocal", &TElectSequence::ComputeWSReciprocal, WSReciprocal, false, 7},
    {"Gradient", &TElectSequence::ComputeGradient, Gradient, false, 8},
    {"CompletePolePole", &TElectSequence::ComputeCompletePolePole, CompletePolePole, false, 9},
    {"CrossDiagonalPolePole", &TElectSequence::ComputeCrossDiagonalPolePole, CrossDiagonalPolePole, false, 10},
    {"MultiGradient", &TElectSequence::ComputeMultiGradient, MultiGradient, false, 11},
    {"CrossDiagonalDipoleDipole", &TElectSequence::ComputeCrossDiagonalDipoleDipole, CrossDiagonalDipoleDipole, false, 12},
    {"CrossDiagonalPoleDipoleForward", &TElectSequence::ComputeCrossDiagonalPoleDipoleForward, [](TElectSequence& s) { return CrossDiagonalPoleDipole(s, false); }, false, 13},
    {"CrossDiagonalPoleDipoleReverse", &TElectSequence::ComputeCrossDiagonalPoleDipoleReverse, [](TElectSequence& s) { return CrossDiagonalPoleDipole(s, true); }, false, 14},
    {"BoreholeDipoleDipoleDiagonal", &TElectSequence::ComputeBoreholeDipoleDipoleDiagonal, BoreholeDiagonal, true, 1},
    {"BoreholeDipoleDipoleEquatorial", &TElectSequence::ComputeBoreholeDipoleDipoleEquatorial, BoreholeEquatorial, true, 2},
};

std::unique_ptr<TElectSequence> NewSequence(std::int32_t gridType, int nx, int ny, std::int32_t arrayType) {
    auto s = std::make_unique<TElectSequence>();
    s->Grid.GridType = gridType;
    s->Grid.NX = nx;
    s->Grid.NY = ny;
    s->Grid.ArrayType = arrayType;
    return s;
}

void Place(TElectSequence& s, int k, int ix, int iy) {
    s.Grid.Nodes[k] = TElectGridNode{1, ix, iy};
    ++s.Grid.ElectrodeCount;
    if (s.Grid.FirstElectrode == 0 || k < s.Grid.FirstElectrode) s.Grid.FirstElectrode = k;
    if (k > s.Grid.LastElectrode) s.Grid.LastElectrode = k;
}

void FillGrid(TElectSequence& s) {
    int k = 1;
    for (int iy = 1; iy <= s.Grid.NY; ++iy)
        for (int ix = 1; ix <= s.Grid.NX; ++ix) Place(s, k++, ix, iy);
}

void Select(TElectSequence& s, int a, int n) {
    TSpacingLevel& row = s.SpacingLevels[a - 1];
    if (!row.Selected[n - 1]) ++row.SelectedCount;
    row.Selected[n - 1] = 1;
}

void SelectAll(TElectSequence& s) {
    for (int a = 1; a <= 9; ++a)
        for (int n = 1; n <= 128; ++n) Select(s, a, n);
}

void SelectSparse(TElectSequence& s, int a) {
    for (int n = 1; n <= 128; n += 2) Select(s, a, n);
}
