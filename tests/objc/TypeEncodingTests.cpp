#include "CoreGraphics/CGAffineTransform.h"
#include "objc/NSObject.h"
#include "objc/message.h"

#include <gtest/gtest.h>
#include <string_view>

namespace {

#if defined(TESSARY8_CGFLOAT_IS_DOUBLE)
constexpr std::string_view cgFloat = "d", boolean = "B";
#else
constexpr std::string_view cgFloat = "f", boolean = "c";
#endif

std::string withFloats(std::string_view pattern)
{
    std::string text;
    for (char c : pattern)
        text += c == 'F' ? std::string(cgFloat) : c == 'Z' ? std::string(boolean) : std::string(1, c);
    return text;
}

id instanceMethod(id self, SEL, CGRect, BOOL) noexcept { return self; }
CGSize classMethod(Class, SEL, int) { return {}; }

}

TEST(TypeEncoding, MethodSignaturesEncodeAsTheRuntimeRecordsThem)
{
    struct Case {
        std::string_view computed;
        std::string_view pattern;  // F: CGFloat, Z: BOOL
    } cases[] = {
        { objc::methodEncoding<void()>(), "v@:" },
        { objc::methodEncoding<BOOL()>(), "Z@:" },
        { objc::methodEncoding<id()>(), "@@:" },
        { objc::methodEncoding<int(unsigned, long long, double, float)>(), "i@:Iqdf" },
        { objc::methodEncoding<CGSize(int)>(), "{CGSize=FF}@:i" },
        { objc::methodEncoding<id(CGRect, BOOL)>(), "@@:{CGRect={CGPoint=FF}{CGSize=FF}}Z" },
        { objc::methodEncoding<void(const CGPoint&, Class, SEL)>(), "v@:{CGPoint=FF}#:" },
        { objc::methodEncoding<std::shared_ptr<NSObject>(id)>(), "@@:@" },
        { objc::methodEncoding<CGAffineTransform()>(), "{CGAffineTransform=FFFFFF}@:" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.pattern));
        EXPECT_EQ(c.computed, withFloats(c.pattern));
    }
}

TEST(TypeEncoding, TypedAdditionRecordsTheImplementationsOwnEncoding)
{
    Class cls = objc::defineClass("TypeEncodingProbe", NSObject::runtimeClass());
    SEL init = sel_registerName("initWithFrame:primaryBackdrop:");
    SEL size = sel_registerName("sizeForInterfaceOrientation:");
    ASSERT_TRUE(objc::addMethod(cls, init, &instanceMethod));
    ASSERT_TRUE(objc::addClassMethod(cls, size, &classMethod));
    EXPECT_EQ(std::string_view(method_getTypeEncoding(class_getInstanceMethod(cls, init))), withFloats("@@:{CGRect={CGPoint=FF}{CGSize=FF}}Z"));
    EXPECT_EQ(std::string_view(method_getTypeEncoding(class_getClassMethod(cls, size))), withFloats("{CGSize=FF}@:i"));
    EXPECT_EQ(class_getInstanceMethod(cls, size), nullptr) << "a class method is not an instance method";
}
