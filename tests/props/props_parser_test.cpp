#include "props/props_parser.h"

#include "tests/props/props_test_util.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Case {
    std::string text;
    std::string expected;
};

template <std::size_t N>
void ExpectParses(const Case (&cases)[N]) {
    for (const Case& c : cases) EXPECT_EQ(DescribeParse(c.text), c.expected) << c.text;
}

}  // namespace

TEST(PropsParserTest, PathsNameNestedNodesAndSetIntermediateKinds) {
    const Case cases[] = {
        {"Styles[0].Size = 64;", "Styles:2{0:1{Size:0=64}}"},
        {"Sizes[\"0\"] = 37;", "Sizes:2{\"0\":0=37}"},
        {"Sizes[0] = 37;", "Sizes:2{0:0=37}"},
        {"A[1][2] = 3;", "A:2{1:2{2:0=3}}"},
        {"A.[x] = 1;", "A:1{x:0=1}"},
        {" A . B = 1;", "A:1{B:0=1}"},
        {"a.B = 1; A.b = 2;", "a:1{B:0=2}"},                 // components compare without case
        {"A = 1; A.B = 2;", "A:1=1{B:0=2}"},                 // a value node can gain children
        {"A[\"x.y\"] = 1;", "A:2{[\"x:1{y\"]:0=1}}"},        // a "." inside brackets still splits
        {"A.[b = 1;", ""},                                   // an open bracket hides the "="
        {"A. = 1;", "A:1{:0=1}"},                            // an empty component is a name
        {" = 1;", ":0=1"},
    };
    ExpectParses(cases);
}

TEST(PropsParserTest, OperatorIsTheFirstTopLevelArrowOrEquals) {
    const Case cases[] = {
        {"A => 1;", "A:0=1"},
        {"A => \"x=y\";", "A:0=x=y"},
        {"A = \"x=>y\";", "A:0=x=>y"},
        {"A = B => 1;", "A = B:0=1"},        // "=>" wins when both could serve
        {"X[\"a=b\"] = 1;", ""},             // first "=" is inside brackets: a bare value
        {"X(a=b) = 1;", ""},
        {"A == 1;", "A:0,= 1:0"},            // the value "= 1" refers to a node of that name
        {"A = 1 = 2;", "A:0,1 = 2:0"},
    };
    ExpectParses(cases);
}

TEST(PropsParserTest, BareValuesTakeTheNextFreeIndexOfTheScope) {
    const Case cases[] = {
        {"1; 2;", ""},  // no scope: nothing
        {"using L; 1; 2; 3;", "L:1#3{2:0=3,0:0=1,1:0=2}"},
        {"A = array(1, 5 = 9, 2, 3, 4, 5, 6);", "A:2#7{0:0=1,5:0=9,1:0=2,2:0=3,3:0=4,4:0=5,6:0=6}"},
        {"A = array(x = 1, 2, 0 = 5, 3);", "A:2#2{x:0=1,0:0=5,1:0=3}"},
        // A blank item is an element without a value; nothing follows a trailing comma.
        {"P = array(1,,2,);", "P:2#3{0:0=1,1:0,2:0=2}"},
        {"A = array(, 5 = 0.5, 12);", "A:2#2{0:0,5:0=0.5,1:0=12}"},
        {"using L; 1; \t; 2;", "L:1#3{2:0=2,0:0=1,1:0}"},
        {" \t; A = 1;", "A:0=1"},  // blanks without a scope say nothing
        {"A = array(1,2); A.x = 3; using A; 4;", "A:1#3{2:0=4,1:0=2,0:0=1,x:0=3}"},
    };
    ExpectParses(cases);
}

TEST(PropsParserTest, ArraysAndObjectsExecuteTheirItemsInTheirOwnScope) {
    const Case cases[] = {
        {"Sizes = array(13, 13, 7);", "Sizes:2#3{0:0=13,1:0=13,2:0=7}"},
        {"O = object(a = 1, b = \"x,y\");", "O:1{a:0=1,b:0=x,y}"},
        {"A = array;", "A:2"},
        {"A = arrayish;", "A:2"},
        {"A = array();", "A:2"},
        {"A = array(1,2", "A:2#1{0:0=1}"},  // the last character is taken as the ")"
        {"A = array (1, 2) ;", "A:2#2{0:0=1,1:0=2}"},
        {"M = array(array(1, 2), array(3));", "M:2#2{0:2#2{0:0=1,1:0=2},1:2#1{0:0=3}}"},
        {"M = array(object(a = 1), (b, c));", "M:2#2{0:1{a:0=1},1:0},(b, c):0"},
        {"A = array(1, 2); A = 3;", "A:0=3"},  // reassigning drops the children and counter
        {"A = array(1, using B, 2, using, 3);", "A:2#1{0:0=1},B:1#1{0:0=2}"},
        {"A = array(\n 1,\n 2\n);", "A:2#2{0:0=1,1:0=2}"},
        {"S = array(13\n  14);", "S:2#1{0:0},13  14:0"},  // no comma: one reference
    };
    ExpectParses(cases);
}

TEST(PropsParserTest, QuotedValuesKeepBackslashesAndEndAtTheFirstUnescapedQuote) {
    const Case cases[] = {
        {"N = \"Ferrow\";", "N:0=Ferrow"},
        {"N = 'it';", "N:0=it"},
        {"N = \"a\\\"b\";", "N:0=a\\\"b"},
        {"N = \"a\\\\\"b\";", "N:0=a\\\\"},
        {"N = \"a\\\\\\\"b\";", "N:0=a\\\\\\\"b"},
        {"N = \"abc", "N:0=\"abc"},
        {"N = \"x\" trailing;", "N:0=x"},
        {"N = \"\";", "N:0"},
        {"N = 'say \"hi\"';", "N:0=say \"hi\""},
        {"N = \"a//b\";\nM = 1;", "N:0=\"aM = 1;"},  // the comment leaves the quote open
    };
    ExpectParses(cases);
}

TEST(PropsParserTest, NumbersAreTextThatStrtodReadsToTheEnd) {
    const struct {
        const char* text;
        bool number;
    } cases[] = {
        {"12", true}, {"-1.5e3", true}, {"+.5", true}, {"5.", true}, {"1E+2", true}, {"007", true},
        {"0x10", false}, {"1e", false}, {"1e+", false}, {"inf", false}, {"nan", false},
        {"12px", false}, {".", false}, {"-", false}, {"", false}, {"1 2", false}, {"1.2.3", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsPropsNumber(c.text), c.number) << c.text;
    EXPECT_EQ(DescribeParse("N = -1.5e3;"), "N:0=-1.5e3") << "kept as written";
    EXPECT_EQ(DescribeParse("N = 0x10;"), "N:0,0x10:0") << "not a number: a reference";
}

TEST(PropsParserTest, ReferencesCopyValueKindCounterAndChildren) {
    const Case cases[] = {
        {"A = 5; B = A;", "A:0=5,B:0=5"},
        {"A = array(1, 2); B = A; B[0] = 9;", "A:2#2{0:0=1,1:0=2},B:2#2{0:0=9,1:0=2}"},
        {"B = Missing;", "B:0,Missing:0"},
        {"A = 1; B = a;", "A:0=1,B:0=1"},
        {"X = 1; A = array(X, X);", "X:0=1,A:2#2{0:0=1,1:0=1}"},
        {"A.B = A;", "A:1{B:1{B:0}}"},
        {"A = A;", "A:0"},
        {"A = A.B;", "A:0"},
        {"A.B = 1; A.C = A.B; A.B = 2;", "A:1{C:0=1,B:0=2}"},
        {"A = array(A, 1);", "A:2#2{0:2#1{0:0},1:0=1}"},
        {"S.T = array(7); R = S; S.T[0] = 8;", "S:1{T:2#1{0:0=8}},R:1{T:2#1{0:0=7}}"},
    };
    ExpectParses(cases);
}

TEST(PropsParserTest, UsingSetsTheScopeFromTheTopLevel) {
    const Case cases[] = {
        {"using Styles[1]; Size = 12; using; X = 1;", "Styles:2{1:1{Size:0=12}},X:0=1"},
        {"using A; using B; x = 1;", "A:1,B:1{x:0=1}"},
        {"using A; B.C = 1;", "A:1{B:1{C:0=1}}"},
        {"usingX = 1;", "X = 1:1"},  // the keyword test is of how the statement begins
    };
    ExpectParses(cases);
}

TEST(PropsParserTest, AnEmptyStatementEndsTheText) {
    const Case cases[] = {
        {"A = 1;; B = 2;", "A:0=1"},
        {"A = 1; ; B = 2;", "A:0=1,B:0=2"},
        {"A = 1;\r\n\r\n", "A:0=1"},
        {";A = 1;", ""},
    };
    ExpectParses(cases);
}

TEST(PropsParserTest, ReplacingTheNodeAnEnclosingStatementFillsIsSafe) {
    const Case cases[] = {
        // The object's target A.B is detached by its own item; the scope then points at a
        // detached node, and y lands there.
        {"using A.B; X = object(using, A = 1); y = 2;", "A:0=1"},
        {"A.B = object(using, A = array(1), z = 3);", "A:2#1{0:0=1},z:0=3"},
        {"A = array(array(using, A = 5, 6), 7);", "A:0=5#1{0:0=7}"},
    };
    ExpectParses(cases);
}
