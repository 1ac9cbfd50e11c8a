// Multi-channel optimisation and polarisation deletion.
//
// Both are defined as walks over the list that move, insert and delete entries of the
// 16000-entry tables one at a time. Done literally that costs a table shift per step; here the
// same walks run on working copies whose structure makes each step cheap (the remaining part of
// the list as an ordered set with per-key queues, or a gap buffer at the walking position), and
// the result is written back once. The outcome, stale entries past the end included, is the one
// the step-by-step walk leaves.
#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "engine/Electsequence.h"

namespace {
struct TEntry {
    TQuadripole Q;
    TQuadripoleInfo I;
};

int ListCount(const TReskonPro& d) {
    return std::clamp(d.LastQuadripole + 1, 0, kMaxQuadripoles);
}

std::vector<TEntry> CopyList(const TElectSequence& s, int n) {
    std::vector<TEntry> v(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) v[i] = TEntry{s.Device.Quadripoles[i], s.QuadInfo[i]};
    return v;
}

std::uint64_t Key(std::uint16_t a, std::uint16_t b, std::uint16_t c = 0) {
    return (std::uint64_t{a} << 32) | (std::uint64_t{b} << 16) | c;
}

bool SameCurrent(const TQuadripole& x, const TQuadripole& y) { return x.A == y.A && x.B == y.B; }

// The still unplaced entries of a walk, in list order, grouped by a key: the first remaining
// entry of a key is found without scanning the entries in front of it.
class TKeyQueues {
public:
    // keys[i] for i in [from, keys.size()); entries below from never take part.
    TKeyQueues(const std::vector<std::uint64_t>& keys, std::size_t from) {
        items_.reserve(keys.size());
        for (std::size_t i = from; i < keys.size(); ++i) items_.emplace_back(keys[i], static_cast<int>(i));
        std::sort(items_.begin(), items_.end());
        for (std::size_t i = 0; i < items_.size(); ++i)
            if (i == 0 || items_[i].first != items_[i - 1].first) {
                groupKey_.push_back(items_[i].first);
                head_.push_back(i);
            }
    }

    // Lowest remaining index with this key, or -1.
    int First(std::uint64_t key, const std::vector<char>& taken) {
        const auto it = std::lower_bound(groupKey_.begin(), groupKey_.end(), key);
        if (it == groupKey_.end() || *it != key) return -1;
        std::size_t& h = head_[static_cast<std::size_t>(it - groupKey_.begin())];
        while (h < items_.size() && items_[h].first == key && taken[items_[h].second]) ++h;
        return h < items_.size() && items_[h].first == key ? items_[h].second : -1;
    }

private:
    std::vector<std::pair<std::uint64_t, int>> items_;
    std::vector<std::uint64_t> groupKey_;
    std::vector<std::size_t> head_;
};

// A list with a movable gap: operations close to the gap cost only the distance to it.
class TGapList {
public:
    explicit TGapList(std::vector<TEntry> v) : buf_(std::move(v)), gs_(buf_.size()), ge_(buf_.size()) {}

    int Size() const { return static_cast<int>(buf_.size() - (ge_ - gs_)); }
    const TEntry& At(int i) const {
        const auto k = static_cast<std::size_t>(i);
        return buf_[k < gs_ ? k : k + (ge_ - gs_)];
    }
    void Erase(int i) {
        MoveGap(static_cast<std::size_t>(i));
        ++ge_;
    }
    // Takes the entry at from out and puts it back at to (to < from).
    void Move(int to, int from) {
        if (to >= from) return;
        const TEntry e = At(from);
        Erase(from);
        MoveGap(static_cast<std::size_t>(to));
        buf_[gs_++] = e;
    }

private:
    void MoveGap(std::size_t p) {
        while (gs_ > p) buf_[--ge_] = buf_[--gs_];
        while (gs_ < p) buf_[gs_++] = buf_[ge_++];
    }

    std::vector<TEntry> buf_;
    std::size_t gs_, ge_;
};

void NormaliseRemoteM(TQuadripole& q) {
    if (q.M == 0) std::swap(q.M, q.N);
}
}  // namespace

void TElectSequence::MultiChannelOptimization() {
    const int n = ListCount(Device);
    if (!ChannelOptions.MultiChannelOptimization || n == 0) return;
    const std::int32_t limit = ChannelOptions.OptimizationChannel;
    const auto fillerGroup = static_cast<std::uint16_t>(GetMaxGroup() + 1);

    // ---- first pass: behind each quadripole, the first later one that continues its chain ----
    // Entries 0..q are placed; the rest keep their relative order, so "the first j after q with
    // key k" is the head of queue k. A search exchanges M and N of every entry it reads whose M
    // is 0; those reads always cover a prefix of the remaining entries, i.e. all remaining
    // entries up to index `read`, so an entry is exchanged when it leaves the remaining part at
    // an index <= read.
    std::vector<TEntry> e = CopyList(*this, n);
    NormaliseRemoteM(e[0].Q);
    std::vector<std::uint64_t> keys(static_cast<std::size_t>(n));
    for (int i = 1; i < n; ++i) {
        const TQuadripole& q = e[i].Q;
        // The candidate is tested after its exchange, as quadripole q+1 is (it was exchanged
        // just before): so a remote M reads as its N and reversed pole arrays chain as well.
        keys[i] = Key(q.A, q.B, q.M != 0 ? q.M : q.N);
    }
    std::vector<TEntry> p;  // the list after the first pass
    p.reserve(static_cast<std::size_t>(n));
    {
        TKeyQueues queues(keys, 1);
        std::vector<char> taken(static_cast<std::size_t>(n), 0);
        taken[0] = 1;
        p.push_back(e[0]);
        int front = 1, read = 0, cur = 0;
        std::int32_t chain = 1;
        for (int step = 1; step < n; ++step) {
            while (taken[front]) ++front;
            const TQuadripole c = e[cur].Q;
            int next = front;
            if (!(c.A == c.B && c.A != 0)) {
                read = std::max(read, front);
                if (chain >= limit) {
                    chain = 1;
                } else if (const int j = queues.First(Key(c.A, c.B, c.N), taken); j >= 0) {
                    read = std::max(read, j);
                    ++chain;
                    next = j;
                } else {
                    read = n;
                    chain = 1;
                }
            }
            taken[next] = 1;
            if (next <= read) NormaliseRemoteM(e[next].Q);
            p.push_back(e[next]);
            cur = next;
        }
    }

    // ---- second pass: link, exchange or bridge with a gap filler ----
    // The remaining entries do not change while they wait; the placed ones grow by one per step.
    e = std::vector<TEntry>();
    std::vector<std::uint64_t> byAB(static_cast<std::size_t>(n)), byABM(byAB.size()), byABN(byAB.size());
    for (int i = 0; i < n; ++i) {
        const TQuadripole& q = p[i].Q;
        byAB[i] = Key(q.A, q.B);
        byABM[i] = Key(q.A, q.B, q.M);
        byABN[i] = Key(q.A, q.B, q.N);
    }
    TKeyQueues qAB(byAB, 1), qABM(byABM, 1), qABN(byABN, 1);
    std::vector<char> taken(static_cast<std::size_t>(n), 0);
    taken[0] = 1;
    // Placed entries go straight to their final slots; the slots from `placed` on are not read
    // again (the remaining entries are in p).
    int placed = 0;
    auto place = [&](const TEntry& x) {
        Device.Quadripoles[placed] = x.Q;
        QuadInfo[placed] = x.I;
        ++placed;
    };
    place(p[0]);
    const bool fillersAllowed = ChannelOptions.AllowDummyQuadripoles != 0;
    std::uint16_t fillerNumber = 1;
    int front = 1, remaining = n - 1;
    std::int32_t chain = 1;
    while (remaining > 0) {
        while (taken[front]) ++front;
        const TQuadripole c = Device.Quadripoles[placed - 1];
        int next = front;
        if (c.A == c.B) {
            // current pair of remote or equal electrodes: never chained here
        } else if (chain >= limit) {
            chain = 1;
        } else if (fillersAllowed && placed + remaining < kMaxQuadripoles && chain + 1 < limit) {
            // Every later quadripole with the same A and B ends the search.
            const int j = qAB.First(Key(c.A, c.B), taken);
            if (j < 0) {
                chain = 1;
            } else if (p[j].Q.M == c.N) {
                ++chain;  // already linked: nothing moves
            } else if (p[j].Q.N == c.N) {
                std::swap(p[j].Q.M, p[j].Q.N);
                ++chain;
                next = j;
            } else {
                const std::uint32_t abmn[4] = {c.A, c.B, c.N, p[j].Q.M};
                SetQuadripole(placed++, abmn, -1, 0, fillerGroup, fillerNumber++);
                ++chain;
                continue;
            }
        } else {
            const int j1 = qABM.First(Key(c.A, c.B, c.N), taken);
            const int j2 = qABN.First(Key(c.A, c.B, c.N), taken);
            if (j1 < 0 && j2 < 0) {
                chain = 1;
            } else if (j1 >= 0 && (j2 < 0 || j1 <= j2)) {
                ++chain;
            } else {
                std::swap(p[j2].Q.M, p[j2].Q.N);
                ++chain;
                next = j2;
            }
        }
        taken[next] = 1;
        --remaining;
        place(p[next]);
    }
    if (placed != n) {
        Device.LastQuadripole = placed - 1;
        Device.FirstQuadripole = 0;
    }
    CountMeasurements();
}

void TElectSequence::DelPolarEffect() {
    const int n = ListCount(Device);
    if (!ChannelOptions.MultiChannelOptimization || n == 0) return;
    // The recount leaves at least 1; a list that was never counted is walked as if it had been.
    // Beyond the list length the value changes nothing, and the sums below stay in range.
    const int used = std::clamp<std::int32_t>(MaxChannelUsed, 1, kMaxQuadripoles + 1);

    TGapList list(CopyList(*this, n));
    // A deletion leaves the old last entry behind in the slot past the new end.
    std::vector<TEntry> left(static_cast<std::size_t>(n));
    auto erase = [&](int i) {
        const int last = list.Size() - 1;
        left[last] = list.At(last);
        list.Erase(i);
    };

    // First pass: the first member of each chain must not measure on an electrode that the
    // previous chain has just used for current.
    for (int q = 0; q < list.Size() - used; ++q) {
        const TQuadripole cur = list.At(q).Q;
        if (cur.A == cur.B || cur.M == 0 || cur.N == 0) continue;
        const TQuadripole first = list.At(q + 1).Q;
        if (SameCurrent(first, cur)) continue;
        for (int j = q + 1;;) {
            const TEntry ej = list.At(j);
            if (!SameCurrent(ej.Q, first)) break;
            if (ej.Q.M == cur.A || ej.Q.M == cur.B || ej.Q.N == cur.A || ej.Q.N == cur.B) {
                if (ej.I.Level == -1) {
                    erase(j);
                } else {
                    int k = j + 1;
                    while (k < list.Size() && SameCurrent(list.At(k).Q, ej.Q)) ++k;
                    list.Move(j, k - 1);
                }
                q = j;
                break;
            }
            if (j >= q + used) break;
            ++j;
            if (j >= list.Size() - used) break;
        }
    }

    // Second pass: a chain does not end on a gap filler. The run end found for q serves every
    // later start inside the same run; deleting it shortens the run by one.
    int runEnd = -1;
    for (int q = 0; q < list.Size() - 1; ++q) {
        if (runEnd < q) {
            runEnd = q;
            const TQuadripole head = list.At(q).Q;
            while (runEnd + 1 < list.Size() && SameCurrent(list.At(runEnd + 1).Q, head)) ++runEnd;
        }
        if (list.At(runEnd).I.Level == -1) {
            erase(runEnd);
            --runEnd;
        }
    }

    const int size = list.Size();
    for (int i = 0; i < size; ++i) {
        Device.Quadripoles[i] = list.At(i).Q;
        QuadInfo[i] = list.At(i).I;
    }
    for (int i = size; i < n; ++i) {
        Device.Quadripoles[i] = left[i].Q;
        QuadInfo[i] = left[i].I;
    }
    if (size != n) {
        Device.LastQuadripole = size - 1;
        Device.FirstQuadripole = 0;
    }
    CountMeasurements();
}
