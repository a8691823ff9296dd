#include "CoreGraphics/CGGeometry.h"
#include "objc/NSObject.h"
#include "objc/message.h"
#include "support/GraphicsTestSupport.h"
#include "support/RuntimeTestSupport.h"

#include <gtest/gtest.h>

using namespace TestSupport;

namespace {

int calls = 0;
int baseAnswer(id, SEL) { ++calls; return 1; }
int derivedAnswer(id, SEL) { ++calls; return 2; }
// Struct arguments around scalars, so that a misplaced argument shows in the result.
CGRect moveRect(id self, SEL, int dx, CGRect rect, double dy, CGSize scale)
{
    return self ? CGRectMake(rect.origin.x + CGFloat(dx), rect.origin.y + CGFloat(dy), rect.size.width * scale.width, rect.size.height * scale.height)
                : CGRectZero;
}
CGSize classSize(Class self, SEL, int n) { return self ? CGSizeMake(CGFloat(n * 100), CGFloat(n * 10)) : CGSizeZero; }

struct SendFixture : testing::Test {
    void SetUp() override
    {
        calls = 0;
        class_addMethod(base, answer, toIMP(baseAnswer), "i@:");
    }
    Class base = defineUniqueClass("SendBase", NSObject::runtimeClass());
    Class derived = defineUniqueClass("SendDerived", base);
    SEL answer = sel_registerName("answer");
};

}

TEST_F(SendFixture, FindsTheNearestImplementationUpTheChain)
{
    Class leaf = defineUniqueClass("SendLeaf", derived);
    EXPECT_EQ(objc::send<int()>(makeInstance(leaf), answer), 1);
    ASSERT_TRUE(class_addMethod(derived, answer, toIMP(derivedAnswer), "i@:"));
    EXPECT_EQ(objc::send<int()>(makeInstance(leaf), answer), 2);
    EXPECT_EQ(objc::send<int()>(makeInstance(base), answer), 1);
}

TEST_F(SendFixture, StructArgumentsAndResultsArriveIntact)
{
    SEL selector = sel_registerName("move:rect:dy:scale:");
    ASSERT_TRUE(objc::addMethod(base, selector, &moveRect));
    for (CGRect rect : { CGRectMake(0, 0, 320, 216), CGRectMake(-12.5f, 7.25f, 0.5f, 1e6f) }) {
        SCOPED_TRACE(testing::PrintToString(rect));
        EXPECT_EQ((objc::send<CGRect(int, CGRect, double, CGSize)>(makeInstance(derived), selector, 3, rect, -2.0, CGSizeMake(2, 0.5f))),
            CGRectMake(rect.origin.x + 3, rect.origin.y - 2, rect.size.width * 2, rect.size.height / 2));
    }
    SEL sizeSelector = sel_registerName("sizeFor:");
    ASSERT_TRUE(objc::addClassMethod(base, sizeSelector, &classSize));
    EXPECT_EQ(objc::send<CGSize(int)>(derived, sizeSelector, 3), CGSizeMake(300, 30));
}

TEST_F(SendFixture, NilReceiverAnswersZeroWithoutCalling)
{
    EXPECT_EQ(objc::send<int()>(id(), answer), 0);
    EXPECT_EQ(objc::send<id()>(id(), answer), nullptr);
    EXPECT_EQ(objc::send<CGSize(int)>(Class(nullptr), sel_registerName("sizeFor:"), 1), CGSizeZero);
    EXPECT_EQ(objc::send<CGRect(CGRect)>(id(), sel_registerName("nothingAnswers:"), CGRectMake(1, 2, 3, 4)), CGRectZero);
    EXPECT_EQ(calls, 0);
}

TEST_F(SendFixture, UnansweredSelectorRaisesWithItsNames)
{
    auto raised = [](auto send) -> std::string {
        try {
            send();
        } catch (const objc::UnrecognizedSelector& error) {
            return error.what();
        }
        return "nothing raised";
    };
    std::string name = class_getName(derived);
    EXPECT_EQ(raised([&] { (void)objc::send<int(int)>(makeInstance(derived), sel_registerName("missing:"), 1); }),
        "-[" + name + " missing:]: unrecognized selector sent to instance");
    // An instance method is no class method.
    EXPECT_EQ(raised([&] { (void)objc::send<int()>(derived, answer); }), "+[" + name + " answer]: unrecognized selector sent to class");
    id classless = objc::alloc<NSObject>();
    classless->isa = nullptr;
    EXPECT_EQ(raised([&] { (void)objc::send<int()>(classless, answer); }), "-[nil answer]: unrecognized selector sent to instance");
    EXPECT_EQ(calls, 0);
}

TEST_F(SendFixture, DebugBuildsRefuseASignatureOtherThanTheMethodsEncoding)
{
    if (!objc::checksSignatures)
        GTEST_SKIP() << "signatures are checked in debug builds only";
    id object = makeInstance(derived);
    std::string raised;
    try {
        (void)objc::send<double()>(object, answer);
    } catch (const objc::SignatureMismatch& error) {
        raised = error.what();
    }
    EXPECT_EQ(raised, "-[" + std::string(class_getName(derived)) + " answer] sent as \"d@:\" but implemented as \"i@:\"");
    EXPECT_EQ(calls, 0);
    // A method recorded without an encoding is sent as stated.
    SEL bare = sel_registerName("bare");
    class_addMethod(base, bare, toIMP(baseAnswer), nullptr);
    EXPECT_EQ(objc::send<int()>(object, bare), 1);
}
