// The delegate's table of virtual operations as a product built by another
// compiler sees it: each operation called through the raw table by its slot
// number, with the calling convention of a C++ member function on 32-bit
// Windows (the object in ECX, the arguments on the stack, popped by the
// callee). A reordered or regrown header fails here instead of breaking
// shipped products.
#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "qm/loop_delegate.h"

namespace {

std::vector<std::string> calls;

class TableLoop : public qm::ProductLoop {
public:
    void onFocusLost() override {}
    void onFocusGained() override {}
    void onRestored() override {}
    void onMinimized() override {}
    void onLowMemory() override {}
    bool canClose() override {
        calls.push_back("loop canClose");
        return false;
    }
    bool hasFocus() override { return false; }
    int onText(const char* text, int value) override {
        calls.push_back(std::string("loop onText ") + text + " " + std::to_string(value));
        return value + 1;
    }
    int onRecord(const void* record) override {
        calls.push_back("loop onRecord " + std::string(static_cast<const char*>(record)));
        return 7;
    }
};

// Overrides what the host overrides (and the hooks, to see them called);
// canClose, relayText and relayRecord stay the interface's own.
class TableDelegate final : public qm::QMLoopDelegate {
public:
    void* deleteRequested(unsigned int flag) override {
        calls.push_back("deleteRequested " + std::to_string(flag));
        return this;
    }
    void hook1() override { calls.push_back("hook1"); }
    void hook2() override { calls.push_back("hook2"); }
    void hook3(int a, int b) override { calls.push_back("hook3 " + std::to_string(a) + " " + std::to_string(b)); }
    void hook4() override { calls.push_back("hook4"); }
    void hook5() override { calls.push_back("hook5"); }
    void productStopped() override { calls.push_back("productStopped"); }
    void hideCursor() override { calls.push_back("hideCursor"); }
    void showCursor() override { calls.push_back("showCursor"); }
    void productReady() override { calls.push_back("productReady"); }
    void quit(int a, int b) override { calls.push_back("quit " + std::to_string(a) + " " + std::to_string(b)); }
    void reset(const char* parameters) override { calls.push_back(std::string("reset ") + parameters); }
    void setFullScreen(bool on) override { calls.push_back(std::string("setFullScreen ") + (on ? "1" : "0")); }
};

// Only what the interface leaves pure.
class PlainDelegate final : public qm::QMLoopDelegate {
public:
    void reset(const char*) override {}
    void setFullScreen(bool) override {}
};

// A member function of a 32-bit Windows program (thiscall) called as a
// fastcall one: ECX takes the object, EDX an unused word, the rest goes on
// the stack and the callee pops it, as thiscall does.
template <typename Result, typename... Args>
Result callSlot(qm::QMLoopDelegate& delegate, int slot, Args... args) {
    using Entry = Result(__fastcall*)(void* self, void* unused, Args...);
    void** table = *reinterpret_cast<void***>(&delegate);
    return reinterpret_cast<Entry>(table[slot])(&delegate, nullptr, args...);
}

struct SlotCase {
    int slot;
    void (*call)(qm::QMLoopDelegate& delegate, int slot);
    const char* recorded;
};

const SlotCase kSlots[] = {
    {0, [](qm::QMLoopDelegate& d, int s) { EXPECT_EQ(&d, callSlot<void*>(d, s, 1u)); }, "deleteRequested 1"},
    {1, [](qm::QMLoopDelegate& d, int s) { callSlot<void>(d, s); }, "hook1"},
    {2, [](qm::QMLoopDelegate& d, int s) { callSlot<void>(d, s); }, "hook2"},
    {3, [](qm::QMLoopDelegate& d, int s) { callSlot<void>(d, s, 31, -32); }, "hook3 31 -32"},
    {4, [](qm::QMLoopDelegate& d, int s) { callSlot<void>(d, s); }, "hook4"},
    {5, [](qm::QMLoopDelegate& d, int s) { callSlot<void>(d, s); }, "hook5"},
    {6, [](qm::QMLoopDelegate& d, int s) { callSlot<void>(d, s); }, "productStopped"},
    {7, [](qm::QMLoopDelegate& d, int s) { callSlot<void>(d, s); }, "hideCursor"},
    {8, [](qm::QMLoopDelegate& d, int s) { callSlot<void>(d, s); }, "showCursor"},
    {9, [](qm::QMLoopDelegate& d, int s) { callSlot<void>(d, s); }, "productReady"},
    {10, [](qm::QMLoopDelegate& d, int s) { callSlot<void>(d, s, 101, 102); }, "quit 101 102"},
    {11, [](qm::QMLoopDelegate& d, int s) { EXPECT_FALSE(callSlot<bool>(d, s)); }, "loop canClose"},
    {12, [](qm::QMLoopDelegate& d, int s) { EXPECT_EQ(43, callSlot<int>(d, s, "typed", 42)); },
     "loop onText typed 42"},
    {13, [](qm::QMLoopDelegate& d, int s) { EXPECT_EQ(7, callSlot<int>(d, s, static_cast<const void*>("rec"))); },
     "loop onRecord rec"},
    {14, [](qm::QMLoopDelegate& d, int s) { callSlot<void>(d, s, "-scene 4"); }, "reset -scene 4"},
    {15, [](qm::QMLoopDelegate& d, int s) { callSlot<void>(d, s, true); }, "setFullScreen 1"},
};

TEST(LoopDelegateTable, EachSlotReachesItsOperation) {
    TableLoop loop;
    TableDelegate delegate;
    delegate.loop = &loop;
    for (const SlotCase& c : kSlots) {
        calls.clear();
        c.call(delegate, c.slot);
        EXPECT_EQ(std::vector<std::string>{c.recorded}, calls) << "slot " << c.slot;
    }
}

TEST(LoopDelegateTable, TheProductsLoopFollowsTheTable) {
    // The product stores its loop straight after the table pointer.
    PlainDelegate delegate;
    const char* base = reinterpret_cast<const char*>(static_cast<qm::QMLoopDelegate*>(&delegate));
    EXPECT_EQ(static_cast<std::ptrdiff_t>(sizeof(void*)), reinterpret_cast<const char*>(&delegate.loop) - base);
    EXPECT_EQ(2 * sizeof(void*), sizeof(PlainDelegate));
}

TEST(LoopDelegateTable, SlotZeroReleasesNothing) {
    TableLoop loop;
    PlainDelegate delegate;
    delegate.loop = &loop;
    calls.clear();
    // What `delete` of a product built with a virtual destructor calls.
    EXPECT_EQ(&delegate, callSlot<void*>(delegate, 0, 1u));
    EXPECT_EQ(&loop, delegate.loop);
    EXPECT_FALSE(callSlot<bool>(delegate, 11));
    EXPECT_EQ(std::vector<std::string>{"loop canClose"}, calls);
}

}  // namespace
