// Per-load-condition value sets of a node: LCSet holds one load
// condition's values, LCDiscrete the node's list of them.
#pragma once

#include <stdexcept>

#include "analysis/model/CLoadCondition.h"
#include "analysis/model/FiniteElementSet.h"
#include "platform/core/CArchive.h"
#include "platform/core/CArray.h"
#include "platform/core/CList.h"
#include "platform/core/CObject.h"
#include "platform/core/CString.h"
#include "platform/core/Exceptions.h"

// The values of one load condition. A set read from a file has no load
// condition, only its stored name.
template <class T>
class LCSet : public CObject {
public:
    // A set made for reading: no load condition, flag −1.
    LCSet() : flag(-1) {}
    // A set of `count` values for lc, named after it.
    LCSet(const CLoadCondition* lc, int count)
        : loadCondition(lc), name(lc ? lc->name() : CString()), count(count)
    {
        values.SetSize(count);
    }

    // The load condition's present name, else the stored one.
    CString currentName() const { return loadCondition ? loadCondition->name() : name; }

    const CLoadCondition* loadCondition = nullptr;  // not owned
    CArray<T> values;
    CString name;
    int count = 0;
    int flag = 0;  // 0 in a new set, −1 in a set made for reading
};

// The list of value sets of a node, one per load condition, found by
// pointer. Owns its sets.
template <class T>
class LCDiscrete : public CObject {
public:
    // Sets of `perSet` values each.
    explicit LCDiscrete(int perSet = 1) : valuesPerSet(perSet) {}
    LCDiscrete(const LCDiscrete&) = delete;
    LCDiscrete& operator=(const LCDiscrete&) = delete;
    ~LCDiscrete() override { clear(); }

    // Appends a set for lc unless one exists.
    virtual void addLoadCondition(const CLoadCondition* lc)
    {
        if (!find(lc))
            sets.AddTail(new LCSet<T>(lc, valuesPerSet));
    }
    // Removes and deletes the first set of lc.
    virtual void deleteLoadCondition(const CLoadCondition* lc)
    {
        for (POSITION pos = sets.GetHeadPosition(); pos;) {
            POSITION at = pos;
            LCSet<T>* set = sets.GetNext(pos);
            if (set->loadCondition == lc) {
                sets.RemoveAt(at);
                delete set;
                return;
            }
        }
    }
    // Entry index's value under code of lc's set; CInvalidArgException when
    // the set does not exist or index is outside it.
    virtual double getValue(const CLoadCondition* lc, int index, DiscreteSetValue code) const
    {
        return existing(lc)->values[index].getValue(code);
    }
    // Stores value under code in entry index of lc's set; CInvalidArgException
    // when the set does not exist or index is outside it.
    virtual void setValue(const CLoadCondition* lc, int index, DiscreteSetValue code, double value)
    {
        existing(lc)->values[index].setValue(code, value);
    }

    // The first set of lc, or null.
    LCSet<T>* find(const CLoadCondition* lc) const
    {
        for (POSITION pos = sets.GetHeadPosition(); pos;) {
            LCSet<T>* set = sets.GetNext(pos);
            if (set->loadCondition == lc)
                return set;
        }
        return nullptr;
    }
    // Deletes every set.
    void clear()
    {
        while (!sets.IsEmpty())
            delete sets.RemoveHead();
    }

    // Set count, then per set: name, flag, value count, the values.
    void write(CArchive& ar) const
    {
        ar << static_cast<int>(sets.GetCount());
        for (POSITION pos = sets.GetHeadPosition(); pos;) {
            const LCSet<T>* set = sets.GetNext(pos);
            ar << set->currentName();
            ar << set->flag;
            ar << static_cast<int>(set->values.GetSize());
            for (INT_PTR i = 0; i < set->values.GetSize(); ++i)
                set->values[i].write(ar);
        }
    }
    // Replaces the sets by the stored ones (no load condition, name kept).
    // A count that is negative, absurd or more than the rest of the file
    // holds throws `badCountText` before anything is made for it.
    void read(CArchive& ar, const char* badCountText)
    {
        clear();
        int nSets = 0;
        ar >> nSets;
        checkCount(ar, nSets, kSetBytes, badCountText);
        for (int s = 0; s < nSets; ++s) {
            auto* set = new LCSet<T>();
            sets.AddTail(set);
            ar >> set->name;
            ar >> set->flag;
            int n = 0;
            ar >> n;
            checkCount(ar, n, kValueBytes, badCountText);
            set->count = n;
            set->values.SetSize(n);
            for (int i = 0; i < n; ++i)
                set->values[i].read(ar);
        }
    }

    // Bound on stored counts: far above any real model, low enough that a
    // damaged count cannot ask for gigabytes.
    static constexpr int kMaxCount = 1 << 20;
    // The fewest bytes a stored set takes (a name's length byte, the flag
    // and the value count) and a stored value takes (its doubles).
    static constexpr ULONGLONG kSetBytes = 1 + 4 + 4;
    static constexpr ULONGLONG kValueBytes = sizeof(double) * T::kCount;

    int spare = 0;
    int valuesPerSet = 1;
    CList<LCSet<T>*> sets;

private:
    // badCountText unless 0 <= n <= kMaxCount and n records of recordBytes
    // fit in what the archive has left.
    static void checkCount(CArchive& ar, int n, ULONGLONG recordBytes, const char* badCountText)
    {
        if (n < 0 || n > kMaxCount || static_cast<ULONGLONG>(n) * recordBytes > ar.BytesLeft())
            throw std::logic_error(badCountText);
    }
    LCSet<T>* existing(const CLoadCondition* lc) const
    {
        LCSet<T>* set = find(lc);
        if (!set)
            AfxThrowInvalidArgException();
        return set;
    }
};
