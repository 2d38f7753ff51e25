// Snapshot undo with an owner whose whole state is one int.
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "analysis/model/CUndo.h"
#include "platform/core/CArchive.h"
#include "platform/core/CFile.h"

namespace {

class IntOwner : public CUndo {
 public:
  using CUndo::CUndo;

  void Serialize(CArchive& ar) override {
    if (failNextStore && ar.IsStoring()) {
      failNextStore = false;
      throw std::runtime_error("store failed");
    }
    if (ar.IsStoring())
      ar << value;
    else
      ar >> value;
  }
  void DeleteContents() override {
    ++clears;
    value = -1;  // a restore must read the value back
  }

  // Takes a check point for each value in turn.
  void checkPoints(std::initializer_list<int> values) {
    for (int v : values) {
      value = v;
      CheckPoint();
    }
  }
  int undoCount() const { return static_cast<int>(undoList.GetCount()); }
  int redoCount() const { return static_cast<int>(redoList.GetCount()); }
  std::vector<BYTE> currentSnapshot() const {
    return static_cast<const CMemFile*>(undoList.GetHead())->GetBytes();
  }

  int value = 0;
  int clears = 0;
  bool failNextStore = false;
};

}  // namespace

TEST(Undo, UndoRestoresThePreviousStateAndRedoTheNext) {
  IntOwner owner(100, 0x8000);
  owner.checkPoints({7});
  EXPECT_FALSE(owner.CanUndo());
  EXPECT_EQ(owner.currentSnapshot(), (std::vector<BYTE>{7, 0, 0, 0}));

  owner.checkPoints({8});
  EXPECT_TRUE(owner.CanUndo());
  owner.Undo();
  EXPECT_EQ(owner.value, 7);
  EXPECT_EQ(owner.clears, 1);
  EXPECT_TRUE(owner.CanRedo());
  owner.Undo();  // nothing earlier
  EXPECT_EQ(owner.value, 7);
  EXPECT_EQ(owner.clears, 1);

  owner.Redo();
  EXPECT_EQ(owner.value, 8);
  EXPECT_FALSE(owner.CanRedo());
  owner.Redo();  // nothing to redo
  EXPECT_EQ(owner.value, 8);
  EXPECT_EQ(owner.clears, 2);
}

TEST(Undo, LevelsBoundTheSnapshotsKept) {
  IntOwner owner(2, 64);
  owner.checkPoints({1, 2, 3, 4, 5});
  EXPECT_EQ(owner.undoCount(), 3);

  owner.Undo();
  EXPECT_EQ(owner.value, 4);
  owner.Undo();
  EXPECT_EQ(owner.value, 3);
  EXPECT_FALSE(owner.CanUndo());
  owner.Undo();
  EXPECT_EQ(owner.value, 3);
  EXPECT_EQ(owner.redoCount(), 2);
}

TEST(Undo, ACheckPointForgetsTheRedoList) {
  IntOwner owner;
  owner.checkPoints({1, 2, 3});
  owner.Undo();
  owner.Undo();
  EXPECT_EQ(owner.redoCount(), 2);
  owner.checkPoints({9});
  EXPECT_FALSE(owner.CanRedo());
  EXPECT_EQ(owner.undoCount(), 2);
  owner.Undo();
  EXPECT_EQ(owner.value, 1);
}

TEST(Undo, DisabledCheckPointsNestByCount) {
  IntOwner owner;
  owner.EnableCheckPoint();  // at 0 it stays 0
  owner.DisableCheckPoint();
  owner.checkPoints({1});
  EXPECT_EQ(owner.undoCount(), 0);

  owner.EnableCheckPoint();
  owner.DisableCheckPoint();
  owner.DisableCheckPoint();
  owner.EnableCheckPoint();
  owner.checkPoints({2});
  EXPECT_EQ(owner.undoCount(), 0);
  owner.EnableCheckPoint();
  owner.checkPoints({3});
  EXPECT_EQ(owner.undoCount(), 1);
}

TEST(Undo, AFailedStoreAddsNoSnapshot) {
  IntOwner owner;
  owner.checkPoints({1});
  owner.failNextStore = true;
  owner.value = 2;
  EXPECT_THROW(owner.CheckPoint(), std::runtime_error);
  EXPECT_EQ(owner.undoCount(), 1);
  EXPECT_EQ(owner.currentSnapshot(), (std::vector<BYTE>{1, 0, 0, 0}));
}
