// SPDX-License-Identifier: GPL-3.0-or-later
// Builds the four coroutine shapes that GCC 12 miscompiles (docs/CODING.md)
// and, beside each, the sound way to write it, then counts constructions and
// destructions of what they carry. A sound shape leaves nothing alive and
// destroys nothing twice.
//
// Exit 0: the sound forms are sound (the traps are reported either way).
// Exit 1: a sound form is miscompiled too — the rule is not enough.
// Exit 77 (a skipped test): this compiler builds all four traps soundly, so the
// rule could be dropped for it.
#include <QCoreApplication>
#include <QTimer>
#include <qcoro/qcorotask.h>
#include <qcoro/qcorotimer.h>

#include <cstdio>
#include <functional>
#include <set>

namespace {

std::set<const void *> alive;
int destroyedTwice = 0;

struct Counted
{
    int value = 1;
    Counted() { alive.insert(this); }
    Counted(const Counted &other)
        : value(other.value)
    {
        alive.insert(this);
    }
    Counted &operator=(const Counted &other)
    {
        value = other.value;
        return *this;
    }
    ~Counted()
    {
        if (alive.erase(this) == 0)
            ++destroyedTwice;
    }
};

struct Aggregate
{
    Counted counted;
    int number = 0;
};

struct Result
{
    Counted counted;
    int value = 0;
};

QCoro::Task<> yieldOnce()
{
    QTimer timer;
    timer.setSingleShot(true);
    timer.start(0);
    co_await timer;
}

QCoro::Task<Result> give(Counted counted)
{
    co_await yieldOnce();
    co_return Result{counted, counted.value};
}

QCoro::Task<Result> giveOther(int value)
{
    co_await yieldOnce();
    Result result;
    result.value = value;
    co_return result;
}

QCoro::Task<int> takeAggregate(Aggregate aggregate)
{
    co_await yieldOnce();
    co_return aggregate.counted.value + aggregate.number;
}

QCoro::Task<int> takeFunction(std::function<int()> function)
{
    co_await yieldOnce();
    co_return function();
}

QCoro::Task<int> takeDefaulted(Aggregate aggregate = {})
{
    co_await yieldOnce();
    co_return aggregate.counted.value;
}

// 1. ?: with a co_await on both sides.
QCoro::Task<int> conditionalTrap(bool first)
{
    const Counted counted;
    const Result result = first ? co_await give(counted) : co_await giveOther(2);
    co_return result.value;
}

QCoro::Task<int> conditionalSound(bool first)
{
    const Counted counted;
    Result result;
    if (first)
        result = co_await give(counted);
    else
        result = co_await giveOther(2);
    co_return result.value;
}

// 2. A braced temporary inside a co_await expression.
QCoro::Task<int> bracedTrap()
{
    const int value = co_await takeAggregate(Aggregate{Counted{}, 1});
    co_return value;
}

QCoro::Task<int> bracedSound()
{
    const Aggregate aggregate{Counted{}, 1};
    const int value = co_await takeAggregate(aggregate);
    co_return value;
}

// 3. A lambda with a by-value capture inside a co_await expression.
QCoro::Task<int> lambdaTrap()
{
    const Counted counted;
    const int value = co_await takeFunction([counted] { return counted.value; });
    co_return value;
}

QCoro::Task<int> lambdaSound()
{
    const Counted counted;
    const std::function<int()> function = [counted] { return counted.value; };
    const int value = co_await takeFunction(function);
    co_return value;
}

// 4. An aggregate parameter defaulted to {} that the caller leaves out.
QCoro::Task<int> defaultedTrap()
{
    const int value = co_await takeDefaulted();
    co_return value;
}

QCoro::Task<int> defaultedSound()
{
    const Aggregate aggregate;
    const int value = co_await takeDefaulted(aggregate);
    co_return value;
}

template<typename Make>
bool sound(Make make)
{
    destroyedTwice = 0;
    alive.clear();
    bool finished = false;
    QCoro::connect(make(), qApp, [&finished](int) { finished = true; });
    while (!finished)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    // What the finished coroutines held is gone once their frames are.
    QCoreApplication::processEvents();
    return destroyedTwice == 0 && alive.empty();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    struct Shape
    {
        const char *name;
        bool trapSound;
        bool ruleSound;
    };
    const Shape shapes[] = {
        {"?: with a co_await on both sides", sound([] { return conditionalTrap(true); }),
         sound([] { return conditionalSound(true); })},
        {"a braced temporary inside co_await", sound([] { return bracedTrap(); }), sound([] { return bracedSound(); })},
        {"a lambda with a by-value capture inside co_await", sound([] { return lambdaTrap(); }),
         sound([] { return lambdaSound(); })},
        {"an aggregate parameter defaulted to {}", sound([] { return defaultedTrap(); }),
         sound([] { return defaultedSound(); })},
    };
    int trapsSound = 0;
    bool ruleHolds = true;
    for (const Shape &shape : shapes) {
        std::printf("%-50s trap: %-11s rule's form: %s\n", shape.name, shape.trapSound ? "sound" : "miscompiled",
                    shape.ruleSound ? "sound" : "miscompiled");
        trapsSound += shape.trapSound ? 1 : 0;
        ruleHolds = ruleHolds && shape.ruleSound;
    }
    if (!ruleHolds) {
        std::printf("The rule's own form is miscompiled: docs/CODING.md needs another rule.\n");
        return 1;
    }
    if (trapsSound == 4) {
        std::printf("This compiler builds every trap soundly: the rule in docs/CODING.md can be dropped for it.\n");
        return 77;
    }
    return 0;
}
