#include "framework/core/CSeam.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>

namespace {

class IGreeter {
public:
    IGreeter() = default;
    IGreeter(const IGreeter&) = delete;
    IGreeter& operator=(const IGreeter&) = delete;
    virtual ~IGreeter() = default;
    virtual const char* Name() const = 0;
};

class NamedGreeter final : public IGreeter {
public:
    explicit NamedGreeter(const char* name) : m_name(name) {}
    const char* Name() const override { return m_name; }

private:
    const char* m_name;
};

// A second seam, to show that seams do not share their installations.
class IOther {
public:
    IOther() = default;
    IOther(const IOther&) = delete;
    IOther& operator=(const IOther&) = delete;
    virtual ~IOther() = default;
};

class Other final : public IOther {};

} // namespace

template <> IGreeter& CSeam<IGreeter>::Default() {
    static NamedGreeter real("default");
    return real;
}

template <> IOther& CSeam<IOther>::Default() {
    static Other real;
    return real;
}

namespace {

const char* CurrentName() {
    return CSeam<IGreeter>::Current().Name();
}

TEST(CSeam, GuardsNestAndEachPutsBackTheOneItReplaced) {
    EXPECT_STREQ(CurrentName(), "default");
    NamedGreeter outer("outer");
    NamedGreeter inner("inner");
    {
        CSeam<IGreeter>::Guard outerGuard(&outer);
        EXPECT_STREQ(CurrentName(), "outer");
        {
            CSeam<IGreeter>::Guard innerGuard(&inner);
            EXPECT_STREQ(CurrentName(), "inner");
            {
                // nullptr: the real one again, for a test of it inside a
                // fixture that installs a stand-in.
                CSeam<IGreeter>::Guard defaultGuard(nullptr);
                EXPECT_STREQ(CurrentName(), "default");
            }
            EXPECT_STREQ(CurrentName(), "inner");
        }
        EXPECT_STREQ(CurrentName(), "outer");
    }
    EXPECT_STREQ(CurrentName(), "default");
}

TEST(CSeam, AGuardEndingOutOfTurnNeverLeavesAGoneImplementationCurrent) {
    // The application installs its sink above a test's stand-in, and the
    // stand-in goes first: the application's stays current, and after it
    // ends the default is current, not the stand-in that is gone.
    auto standIn = std::make_unique<NamedGreeter>("stand-in");
    NamedGreeter application("application");
    auto standInGuard = std::make_optional<CSeam<IGreeter>::Guard>(standIn.get());
    auto applicationGuard = std::make_optional<CSeam<IGreeter>::Guard>(&application);
    standInGuard.reset();
    standIn.reset();
    EXPECT_STREQ(CurrentName(), "application");
    applicationGuard.reset();
    EXPECT_STREQ(CurrentName(), "default");

    // Out of turn in the middle of three.
    NamedGreeter a("a");
    NamedGreeter b("b");
    NamedGreeter c("c");
    auto guardA = std::make_optional<CSeam<IGreeter>::Guard>(&a);
    auto guardB = std::make_optional<CSeam<IGreeter>::Guard>(&b);
    auto guardC = std::make_optional<CSeam<IGreeter>::Guard>(&c);
    guardB.reset();
    EXPECT_STREQ(CurrentName(), "c");
    guardC.reset();
    EXPECT_STREQ(CurrentName(), "a");
    guardA.reset();
    EXPECT_STREQ(CurrentName(), "default");
}

TEST(CSeam, EachInterfaceHasItsOwnCurrentImplementation) {
    Other other;
    NamedGreeter greeter("greeter");
    CSeam<IOther>::Guard otherGuard(&other);
    EXPECT_EQ(&CSeam<IOther>::Current(), &other);
    EXPECT_STREQ(CurrentName(), "default");
    {
        CSeam<IGreeter>::Guard greeterGuard(&greeter);
        EXPECT_EQ(&CSeam<IOther>::Current(), &other);
        EXPECT_STREQ(CurrentName(), "greeter");
    }
    EXPECT_EQ(&CSeam<IOther>::Current(), &other);
}

} // namespace
