#pragma once
// Multi-channel optimisation and polarisation deletion done literally, one table operation per
// step: the reference that the engine's versions are compared with, in tests and benchmarks.
#include <cstdint>

#include "engine/Electsequence.h"

inline void PlainMultiChannelOptimization(TElectSequence& s) {
    if (!s.ChannelOptions.MultiChannelOptimization || s.QuadripoleCount() == 0) return;
    const int limit = s.ChannelOptions.OptimizationChannel;
    const auto group = static_cast<std::uint16_t>(s.GetMaxGroup() + 1);
    std::uint16_t number = 1;
    auto Q = [&](int i) -> TQuadripole& { return s.Device.Quadripoles[i]; };
    auto last = [&] { return s.Device.LastQuadripole; };

    if (Q(0).M == 0) s.SwapMN(0);
    int chain = 1;
    for (int q = 0; q < last(); ++q) {
        const TQuadripole cur = Q(q);
        if (cur.A == cur.B && cur.A != 0) continue;
        if (Q(q + 1).M == 0) s.SwapMN(q + 1);
        if (chain >= limit) {
            s.MaxChannelUsed = chain;
            chain = 1;
            continue;
        }
        bool found = false;
        for (int j = q + 1; j <= last() && !found; ++j) {
            if (Q(j).M == 0) s.SwapMN(j);
            if (Q(j).A == cur.A && Q(j).B == cur.B && Q(j).M == cur.N) {
                s.MoveQuadripole(q + 1, j);
                ++chain;
                found = true;
            }
        }
        if (!found) chain = 1;
    }

    chain = 1;
    for (int q = 0; q < last(); ++q) {
        const TQuadripole cur = Q(q);
        if (cur.A == cur.B) continue;
        if (chain >= limit) {
            s.MaxChannelUsed = chain;
            chain = 1;
            continue;
        }
        bool stop = false;
        for (int j = q + 1; j <= last() && !stop; ++j) {
            const TQuadripole c = Q(j);
            if (c.A != cur.A || c.B != cur.B) continue;
            if (c.M == cur.N) {
                ++chain;
                stop = true;
            } else if (c.N == cur.N) {
                s.SwapMN(j);
                s.MoveQuadripole(q + 1, j);
                ++chain;
                stop = true;
            } else if (s.ChannelOptions.AllowDummyQuadripoles && s.QuadripoleCount() < kMaxQuadripoles &&
                       chain < limit - 1) {
                const std::uint32_t abmn[4] = {cur.A, cur.B, cur.N, c.M};
                s.InsertQuadripole(q + 1, abmn, -1, 0, group, number++);
                ++chain;
                stop = true;
            }
        }
        if (!stop) chain = 1;
    }
    s.CountMeasurements();
}

inline void PlainDelPolarEffect(TElectSequence& s) {
    if (!s.ChannelOptions.MultiChannelOptimization || s.QuadripoleCount() == 0) return;
    const int used = s.MaxChannelUsed;
    auto Q = [&](int i) -> TQuadripole& { return s.Device.Quadripoles[i]; };
    auto last = [&] { return s.Device.LastQuadripole; };
    auto same = [](const TQuadripole& x, const TQuadripole& y) { return x.A == y.A && x.B == y.B; };

    for (int q = 0; q < last() + 1 - used; ++q) {
        const TQuadripole cur = Q(q);
        if (cur.A == cur.B || cur.M == 0 || cur.N == 0) continue;
        const TQuadripole first = Q(q + 1);
        if (same(first, cur)) continue;
        for (int j = q + 1;;) {
            const TQuadripole c = Q(j);
            if (!same(c, first)) break;
            if (c.M == cur.A || c.M == cur.B || c.N == cur.A || c.N == cur.B) {
                if (s.QuadInfo[j].Level == -1) {
                    s.DeleteQuadripole(j);
                } else {
                    int k = j + 1;
                    while (k <= last() && same(Q(k), c)) ++k;
                    s.MoveQuadripole(j, k - 1);
                }
                q = j;
                break;
            }
            if (j >= q + used) break;
            ++j;
            if (j >= last() + 1 - used) break;
        }
    }
    for (int q = 0; q < last(); ++q) {
        int r = q;
        while (r < last() && same(Q(r + 1), Q(q))) ++r;
        if (s.QuadInfo[r].Level == -1) s.DeleteQuadripole(r);
    }
    s.CountMeasurements();
}
