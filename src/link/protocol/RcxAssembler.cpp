#include "link/protocol/RcxAssembler.h"

#include "link/protocol/RcxBrick.h"
#include "link/protocol/RcxRequests.h"

#include <QHash>

namespace rcx {

namespace {

// The scratch variables the compiler already uses for loaded operands.
constexpr int ScratchFirst = 1;
constexpr int ScratchSecond = 0;

int mirrored(int relation)
{
    if (relation == Rel::LessOrEqual)
        return Rel::GreaterOrEqual;
    if (relation == Rel::GreaterOrEqual)
        return Rel::LessOrEqual;
    return relation;
}

bool loadedOnly(int source) { return source == Src::Random || source == Src::Program; }

}  // namespace

void Assembler::clear()
{
    *this = Assembler();
}

void Assembler::add(const QByteArray& instruction)
{
    if (!mItems.isEmpty() && mItems.last().kind == Kind::Bytes)
        mItems.last().bytes.append(instruction);
    else
        mItems.append({Kind::Bytes, instruction, 0, 0});
}

void Assembler::branchUnless(int source1, int value1, int op, int source2, int value2, int target)
{
    // The grid's operators 0 ">", 1 "<", 2 "=", 3 "#" negate to the brick's
    // relations of the same numbers: <=, >=, !=, ==.
    int relation = op & 3;
    if (source1 == Src::Constant && source2 == Src::Constant) {
        if (holds(relation, value1, value2))
            jump(target);
        return;
    }
    // A constant can only be the first operand.
    if (source2 == Src::Constant) {
        std::swap(source1, source2);
        std::swap(value1, value2);
        relation = mirrored(relation);
    }
    if (loadedOnly(source1)) {
        add(req::variable(Op::SetVar, ScratchFirst, source1, value1));
        source1 = Src::Variable;
        value1 = ScratchFirst;
    }
    if (loadedOnly(source2)) {
        add(req::variable(Op::SetVar, ScratchSecond, source2, value2));
        source2 = Src::Variable;
        value2 = ScratchSecond;
    }
    Item test{Kind::Test, {}, target, std::uint8_t(relation)};
    test.bytes = Bytes(std::uint8_t((relation << 6) | source1)).byte(source2).shortLE(value1).byte(value2);
    mItems.append(test);
}

void Assembler::If(int source1, int value1, int op, int source2, int value2)
{
    Open open{Block::If, newLabel(), newLabel()};
    branchUnless(source1, value1, op, source2, value2, open.first);
    mOpen.append(open);
}

void Assembler::Else()
{
    if (mOpen.isEmpty() || mOpen.last().block != Block::If) {
        mUnbalanced = true;
        return;
    }
    Open& open = mOpen.last();
    jump(open.second);
    label(open.first);
    open.block = Block::IfElse;
}

bool Assembler::close(Block block, Open& open)
{
    if (mOpen.isEmpty()) {
        mUnbalanced = true;
        return false;
    }
    const Block last = mOpen.last().block;
    const bool matches = last == block || (block == Block::If && last == Block::IfElse) ||
                         (block == Block::Loop && last == Block::CountedLoop);
    if (!matches) {
        mUnbalanced = true;
        return false;
    }
    open = mOpen.takeLast();
    return true;
}

void Assembler::EndIf()
{
    Open open{};
    if (!close(Block::If, open))
        return;
    if (open.block == Block::If) {
        label(open.first);
    } else if (mItems.size() >= 2 && mItems.last().kind == Kind::Label && mItems.last().label == open.first &&
               mItems[mItems.size() - 2].kind == Kind::Jump && mItems[mItems.size() - 2].label == open.second) {
        // An empty else-part: ELSE and END are one place, the jump over it goes.
        mItems.removeAt(mItems.size() - 2);
    }
    label(open.second);
}

void Assembler::While(int source1, int value1, int op, int source2, int value2)
{
    Open open{Block::While, newLabel(), newLabel()};
    label(open.first);
    branchUnless(source1, value1, op, source2, value2, open.second);
    mOpen.append(open);
}

void Assembler::EndWhile()
{
    Open open{};
    if (!close(Block::While, open))
        return;
    jump(open.first);
    label(open.second);
}

void Assembler::Loop(int source, int count)
{
    Open open{Block::Loop, newLabel(), newLabel()};
    if (!(source == Src::Constant && count == 0)) {
        open.block = Block::CountedLoop;
        if (++mCountedDepth > LoopDepth)
            mTooDeep = true;
        if (source == Src::Constant && (count < 0 || count > 255)) {
            // The counter's argument is a byte: a larger count goes through a variable.
            add(req::variable(Op::SetVar, ScratchSecond, Src::Constant, count));
            source = Src::Variable;
            count = ScratchSecond;
        }
        add(Bytes(Op::SetLoop).byte(source).byte(count));
    }
    label(open.first);
    if (open.block == Block::CountedLoop)
        mItems.append({Kind::DecLoop, {}, open.second, 0});
    mOpen.append(open);
}

void Assembler::EndLoop()
{
    Open open{};
    if (!close(Block::Loop, open))
        return;
    if (open.block == Block::CountedLoop)
        --mCountedDepth;
    jump(open.first);
    label(open.second);
}

Assembler::Fault Assembler::fault() const
{
    if (mUnbalanced || !mOpen.isEmpty())
        return Fault::Unbalanced;
    if (mTooDeep)
        return Fault::TooDeep;
    return Fault::None;
}

QByteArray Assembler::code() const
{
    // Sizes: every branch near first; one that does not reach grows far, and
    // the positions are worked out again until nothing grows.
    QVector<bool> far(mItems.size(), false);
    QHash<int, int> at;
    const auto size = [&](int i) {
        const Item& item = mItems[i];
        switch (item.kind) {
        case Kind::Bytes: return int(item.bytes.size());
        case Kind::Label: return 0;
        case Kind::Jump: return far[i] ? 3 : 2;
        case Kind::Test: return far[i] ? 8 : 7;
        case Kind::DecLoop: return far[i] ? 3 : 2;
        }
        return 0;
    };
    // The distance from a branch's first offset byte to its target.
    const auto distance = [&](int i, int position) {
        const int offsetAt = position + (mItems[i].kind == Kind::Test ? 6 : 1);
        return at.value(mItems[i].label, 0) - offsetAt;
    };
    QVector<int> positions(mItems.size());
    for (bool grew = true; grew;) {
        grew = false;
        int p = 0;
        for (int i = 0; i < mItems.size(); ++i) {
            positions[i] = p;
            if (mItems[i].kind == Kind::Label)
                at[mItems[i].label] = p;
            p += size(i);
        }
        for (int i = 0; i < mItems.size(); ++i) {
            if (far[i] || mItems[i].kind == Kind::Bytes || mItems[i].kind == Kind::Label)
                continue;
            const int d = distance(i, positions[i]);
            const bool fits = mItems[i].kind == Kind::Jump ? (d >= -127 && d <= 127) : (d >= 0 && d <= 255);
            if (!fits) {
                far[i] = true;
                grew = true;
            }
        }
    }

    QByteArray out;
    for (int i = 0; i < mItems.size(); ++i) {
        const Item& item = mItems[i];
        const int d = item.kind == Kind::Bytes || item.kind == Kind::Label ? 0 : distance(i, positions[i]);
        switch (item.kind) {
        case Kind::Bytes: out.append(item.bytes); break;
        case Kind::Label: break;
        case Kind::Jump: {
            const int m = d < 0 ? -d : d;
            const int back = d < 0 ? 0x80 : 0;
            if (far[i])
                out.append(Bytes(Op::JumpFar).byte(back | (m & 0x7F)).byte(m >> 7));
            else
                out.append(Bytes(Op::JumpNear).byte(back | m));
            break;
        }
        case Kind::Test:
            if (far[i])
                out.append(Bytes(Op::TestFar).bytes(item.bytes).shortLE(d));
            else
                out.append(Bytes(Op::TestNear).bytes(item.bytes).byte(d));
            break;
        case Kind::DecLoop:
            if (far[i])
                out.append(Bytes(Op::DecLoopFar).shortLE(d));
            else
                out.append(Bytes(Op::DecLoopNear).byte(d));
            break;
        }
    }
    return out;
}

}  // namespace rcx
