#pragma once
// Assembles one task or sub into brick code. Plain instructions go in as the
// bytes the brick runs; If/Else/EndIf, While/EndWhile and Loop/EndLoop are
// lowered to tests, jumps and loop counters:
//   if:    test(not condition) -> ELSE; then-part; [jump END; ELSE: else-part;] END
//   while: TOP: test(not condition) -> END; body; jump TOP; END
//   loop:  set counter N; TOP: decrement -> END; body; jump TOP; END
//          (a constant count of 0 loops for ever: TOP: body; jump TOP)
// Each branch takes the near form when its distance fits and the far form
// otherwise. A condition compares with the operators of the command grid:
// 0 ">", 1 "<", 2 "=", 3 "#".
#include <QByteArray>
#include <QList>
#include <QVector>

#include <cstdint>

namespace rcx {

class Assembler {
public:
    // Why a module could not be assembled.
    enum class Fault { None, Unbalanced, TooDeep };

    void clear();

    void add(const QByteArray& instruction);
    void If(int source1, int value1, int op, int source2, int value2);
    void Else();
    void EndIf();
    void While(int source1, int value1, int op, int source2, int value2);
    void EndWhile();
    void Loop(int source, int count);
    void EndLoop();

    // The module's code with every branch resolved; Fault other than None
    // when the blocks don't pair up or the loops nest deeper than the brick counts.
    QByteArray code() const;
    Fault fault() const;

private:
    enum class Kind { Bytes, Label, Jump, Test, DecLoop };
    struct Item {
        Kind kind = Kind::Bytes;
        QByteArray bytes;     // Bytes; for Test the five operand bytes
        int label = 0;        // Label: its number; branches: the target
        std::uint8_t relation = 0;
    };
    enum class Block { If, IfElse, While, Loop, CountedLoop };
    struct Open {
        Block block;
        int first = 0;   // ELSE (if) or TOP (while, loop)
        int second = 0;  // END
    };

    int newLabel() { return mLabels++; }
    void label(int l) { mItems.append({Kind::Label, {}, l, 0}); }
    void jump(int target) { mItems.append({Kind::Jump, {}, target, 0}); }
    // A branch to target taken when "not (value1 op value2)" holds.
    void branchUnless(int source1, int value1, int op, int source2, int value2, int target);
    bool close(Block block, Open& open);

    QList<Item> mItems;
    QList<Open> mOpen;
    int mLabels = 0;
    int mCountedDepth = 0;
    bool mUnbalanced = false;
    bool mTooDeep = false;
};

}  // namespace rcx
