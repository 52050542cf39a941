// The Word worker's paragraph procedures (equation indents of Word 2007, baseline alignment moved
// from styles to paragraphs) against a small fake document: styles shared by paragraphs, each
// paragraph with optional formatting of its own over its style's, the way Word resolves it.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fake_dispatch.h"
#include "office/late_binding_win.h"
#include "support/dispatch_client.h"
#include "word/clsOfficeWord.h"

namespace {

using quorallion::clsOfficeWord;
using quorallion::com::ComPtr;
using namespace quorallion::testing;
namespace fake = quorallion::testing::fake;

// BaseLineAlignment values: 0 top, 1 centre, 2 baseline, 3 bottom, 4 automatic.
struct StyleModel {
    StyleModel(std::wstring n, long b, double f = 0, double c = 0) : name(std::move(n)), baseline(b), firstLine(f), charUnits(c) {}
    std::wstring name;
    long baseline;
    double firstLine;  // points
    double charUnits;  // first-line indent in characters
};

struct ParagraphModel {
    ParagraphModel(size_t s, std::optional<long> b = std::nullopt, std::optional<double> f = std::nullopt,
                   std::optional<double> c = std::nullopt)
        : style(s), baseline(b), firstLine(f), charUnits(c) {}
    size_t style;
    std::optional<long> baseline;  // the paragraph's own formatting, over its style's
    std::optional<double> firstLine;
    std::optional<double> charUnits;
    bool styleFails = false;     // reading Style raises
    bool charUnitsFail = false;  // setting CharacterUnitFirstLineIndent raises
};

struct DocumentModel {
    std::wstring version = L"12.0";
    bool versionFails = false;
    std::vector<StyleModel> styles;
    std::vector<ParagraphModel> paragraphs;
    std::vector<size_t> equations;  // the paragraph of each OMath equation, in order
    size_t failingEquationRange = SIZE_MAX;
    long walked = 0;                 // paragraphs Word walks over to find the ones asked for
    std::vector<std::wstring> puts;  // every assignment, in order

    long Baseline(size_t p) const { return paragraphs[p].baseline.value_or(styles[paragraphs[p].style].baseline); }
    double FirstLine(size_t p) const { return paragraphs[p].firstLine.value_or(styles[paragraphs[p].style].firstLine); }
    double CharUnits(size_t p) const { return paragraphs[p].charUnits.value_or(styles[paragraphs[p].style].charUnits); }
};

using Model = std::shared_ptr<DocumentModel>;

// A read-write number: get reads it, put records the assignment and stores it.
template <typename T, typename Get, typename Set>
fake::Member Number(const Model& doc, std::wstring label, Get get, Set set, bool putFails = false) {
    return [doc, label, get, set, putFails](fake::Call& call) -> HRESULT {
        if (!call.IsPut()) return call.Return(static_cast<T>(get()));
        if (putFails) return fake::Raise();
        doc->puts.push_back(label + L"=" + std::to_wstring(call.Long(call.Count() - 1)));
        set(static_cast<T>(call.Double(call.Count() - 1)));
        return S_OK;
    };
}

ComPtr<IDispatch> StyleFormat(const Model& doc, size_t s) {
    StyleModel* style = &doc->styles[s];
    const std::wstring who = L"style " + style->name + L" ";
    return fake::Object::Make({
        {L"BaseLineAlignment", Number<long>(doc, who + L"BaseLineAlignment", [=] { return style->baseline; },
                                            [=](long v) { style->baseline = v; })},
        {L"FirstLineIndent", Number<double>(doc, who + L"FirstLineIndent", [=] { return style->firstLine; },
                                            [=](double v) { style->firstLine = v; })},
        {L"CharacterUnitFirstLineIndent",
         Number<double>(doc, who + L"CharacterUnitFirstLineIndent", [=] { return style->charUnits; },
                        [=](double v) { style->charUnits = v; })},
    });
}

ComPtr<IDispatch> Style(const Model& doc, size_t s) {
    return fake::Object::Make({
        {L"NameLocal", [doc, s](fake::Call& call) { return call.Return(doc->styles[s].name); }},
        {L"ParagraphFormat", [doc, s](fake::Call& call) { return call.Return(StyleFormat(doc, s)); }},
    });
}

// A paragraph's own format: reads give what shows (its own value, else its style's).
ComPtr<IDispatch> ParagraphFormat(const Model& doc, size_t p) {
    ParagraphModel* paragraph = &doc->paragraphs[p];
    const std::wstring who = L"paragraph " + std::to_wstring(p + 1) + L" ";
    return fake::Object::Make({
        {L"BaseLineAlignment", Number<long>(doc, who + L"BaseLineAlignment", [=] { return doc->Baseline(p); },
                                            [=](long v) { paragraph->baseline = v; })},
        {L"FirstLineIndent", Number<double>(doc, who + L"FirstLineIndent", [=] { return doc->FirstLine(p); },
                                            [=](double v) { paragraph->firstLine = v; })},
        {L"CharacterUnitFirstLineIndent",
         Number<double>(doc, who + L"CharacterUnitFirstLineIndent", [=] { return doc->CharUnits(p); },
                        [=](double v) { paragraph->charUnits = v; }, paragraph->charUnitsFail)},
    });
}

ComPtr<IDispatch> Paragraph(const Model& doc, size_t p) {
    if (p >= doc->paragraphs.size()) return ComPtr<IDispatch>();  // Nothing after the last one
    ParagraphModel* paragraph = &doc->paragraphs[p];
    const std::wstring who = L"paragraph " + std::to_wstring(p + 1) + L" ";
    return fake::Object::Make({
        {L"Style",
         [doc, p](fake::Call& call) {
             if (doc->paragraphs[p].styleFails) return fake::Raise();
             return call.Return(Style(doc, doc->paragraphs[p].style));
         }},
        {L"BaseLineAlignment", Number<long>(doc, who + L"BaseLineAlignment", [=] { return doc->Baseline(p); },
                                            [=](long v) { paragraph->baseline = v; })},
        {L"Format", [doc, p](fake::Call& call) { return call.Return(ParagraphFormat(doc, p)); }},
        {L"Next",
         [doc, p](fake::Call& call) {
             ++doc->walked;
             return call.Return(Paragraph(doc, p + 1));
         }},
    });
}

ComPtr<IDispatch> Document(const Model& doc) {
    ComPtr<IDispatch> application = fake::Object::Make({
        {L"Version",
         [doc](fake::Call& call) { return doc->versionFails ? fake::Raise() : call.Return(doc->version); }},
    });
    ComPtr<IDispatch> paragraphs = fake::Object::Make({
        {L"Count", [doc](fake::Call& call) { return call.Return(static_cast<long>(doc->paragraphs.size())); }},
        {L"First",
         [doc](fake::Call& call) {
             ++doc->walked;
             return call.Return(Paragraph(doc, 0));
         }},
        // Word finds a paragraph by its number by walking from the first one.
        {L"Item",
         [doc](fake::Call& call) {
             const long n = call.Long(0);
             if (n < 1 || static_cast<size_t>(n) > doc->paragraphs.size()) return fake::Raise();
             doc->walked += n;
             return call.Return(Paragraph(doc, static_cast<size_t>(n - 1)));
         }},
    });
    ComPtr<IDispatch> omaths = fake::Object::Make({
        {L"Count", [doc](fake::Call& call) { return call.Return(static_cast<long>(doc->equations.size())); }},
        {L"Item",
         [doc](fake::Call& call) {
             const long n = call.Long(0);
             if (n < 1 || static_cast<size_t>(n) > doc->equations.size()) return fake::Raise();
             const size_t k = static_cast<size_t>(n - 1), p = doc->equations[k];
             ComPtr<IDispatch> range = fake::Object::Make({
                 {L"ParagraphFormat", [doc, p](fake::Call& c) { return c.Return(ParagraphFormat(doc, p)); }},
                 {L"ParagraphStyle",
                  [doc, p](fake::Call& c) { return c.Return(Style(doc, doc->paragraphs[p].style)); }},
             });
             return call.Return(fake::Object::Make({
                 {L"Range",
                  [doc, k, range](fake::Call& c) {
                      return k == doc->failingEquationRange ? fake::Raise() : c.Return(range);
                  }},
             }));
         }},
    });
    return fake::Object::Make({
        {L"Application", [application](fake::Call& call) { return call.Return(application); }},
        {L"Paragraphs", [paragraphs](fake::Call& call) { return call.Return(paragraphs); }},
        {L"OMaths", [omaths](fake::Call& call) { return call.Return(omaths); }},
    });
}

// The worker hands the procedures a document object of its own error state.
struct OpenDocument {
    explicit OpenDocument(const Model& model) : dispatch(Document(model)), object(dispatch.get(), errors) {}
    ComPtr<IDispatch> dispatch;
    quorallion::office::ErrorState errors;
    quorallion::office::AutoObject object;
};

class WordParagraphs : public ::testing::Test {
    ComApartment apartment_;
};

// --- baseline alignment moved from styles to paragraphs ----------------------------------------

TEST_F(WordParagraphs, CentredStylesMoveTheirAlignmentToTheirParagraphs) {
    struct Case {
        const char* name;
        std::vector<StyleModel> styles;
        std::vector<ParagraphModel> paragraphs;
        std::vector<long> stylesAfter;
        std::vector<std::optional<long>> ownAfter;  // each paragraph's own value afterwards
    } cases[] = {
        {"no paragraphs", {{L"Normal", 1}}, {}, {1}, {}},
        {"no centred style", {{L"Normal", 4}, {L"Low", 2}}, {{0}, {1}, {0, 3}}, {4, 2}, {std::nullopt, std::nullopt, 3}},
        {"one centred style among others",
         {{L"Normal", 4}, {L"Equation", 1}},
         {{0}, {1}, {0}, {1}},
         {4, 4},
         {std::nullopt, 1, std::nullopt, 1}},
        {"two centred styles, a third left",
         {{L"Eq1", 1}, {L"Eq2", 1}, {L"Body", 2}},
         {{2}, {0}, {1}, {2}, {0}},
         {4, 4, 2},
         {std::nullopt, 1, 1, std::nullopt, 1}},
        {"a centred paragraph of its own in an automatic style is no concern",
         {{L"Normal", 4}},
         {{0, 1}, {0}},
         {4},
         {1, std::nullopt}},
        // A paragraph whose own alignment differs from its centred style's keeps its own.
        {"own alignment kept", {{L"Equation", 1}}, {{0}, {0, 3}, {0, 1}}, {4}, {1, 3, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Model doc = std::make_shared<DocumentModel>();
        doc->styles = c.styles;
        doc->paragraphs = c.paragraphs;
        std::vector<long> shown;
        for (size_t p = 0; p < doc->paragraphs.size(); ++p) shown.push_back(doc->Baseline(p));

        OpenDocument open(doc);
        clsOfficeWord::MoveBaselineAlignmentToParagraphs(open.object);

        for (size_t s = 0; s < c.styles.size(); ++s)
            EXPECT_EQ(doc->styles[s].baseline, c.stylesAfter[s]) << "style " << s;
        for (size_t p = 0; p < doc->paragraphs.size(); ++p) {
            EXPECT_EQ(doc->paragraphs[p].baseline, c.ownAfter[p]) << "paragraph " << p + 1;
            // What the reader sees does not change: the alignment only moved.
            EXPECT_EQ(doc->Baseline(p), shown[p]) << "paragraph " << p + 1;
        }
        EXPECT_FALSE(open.errors.Pending()) << "the caller's error state is not touched";
    }
}

TEST_F(WordParagraphs, StylesAreChangedBeforeTheParagraphsGetTheirOwnValue) {
    const Model doc = std::make_shared<DocumentModel>();
    doc->styles = {{L"Normal", 4}, {L"Equation", 1}};
    doc->paragraphs = {{1}, {0}, {1}};
    OpenDocument open(doc);
    clsOfficeWord::MoveBaselineAlignmentToParagraphs(open.object);
    EXPECT_EQ(doc->puts, (std::vector<std::wstring>{
                             L"style Equation BaseLineAlignment=4", L"style Equation BaseLineAlignment=4",
                             L"paragraph 1 BaseLineAlignment=1", L"paragraph 3 BaseLineAlignment=1"}));
}

TEST_F(WordParagraphs, AParagraphWhoseStyleCannotBeReadIsLeftAndTheOthersMove) {
    const Model doc = std::make_shared<DocumentModel>();
    doc->styles = {{L"Hidden", 1}, {L"Equation", 1}};
    doc->paragraphs = {{1}, {0}, {1}};
    doc->paragraphs[1].styleFails = true;
    OpenDocument open(doc);
    clsOfficeWord::MoveBaselineAlignmentToParagraphs(open.object);
    EXPECT_EQ(doc->styles[0].baseline, 1);
    EXPECT_EQ(doc->styles[1].baseline, 4);
    EXPECT_EQ(doc->paragraphs[0].baseline, 1);
    EXPECT_EQ(doc->paragraphs[1].baseline, std::nullopt);
    EXPECT_EQ(doc->paragraphs[2].baseline, 1);
}

// Word walks from the first paragraph to find one by its number; the procedure must not.
TEST_F(WordParagraphs, OneWalkOverALongDocument) {
    const Model doc = std::make_shared<DocumentModel>();
    doc->styles = {{L"Normal", 4}, {L"Equation", 1}};
    const size_t count = 2000;
    for (size_t p = 0; p < count; ++p) doc->paragraphs.push_back({p % 3 == 0 ? size_t{1} : size_t{0}});
    OpenDocument open(doc);
    clsOfficeWord::MoveBaselineAlignmentToParagraphs(open.object);
    EXPECT_LE(doc->walked, static_cast<long>(2 * count)) << "paragraphs walked over";
    long moved = 0;
    for (const ParagraphModel& p : doc->paragraphs) moved += p.baseline == 1;
    EXPECT_EQ(moved, static_cast<long>((count + 2) / 3));
}

// --- first-line indents of equations (Word 2007) ------------------------------------------------

// Body text indented by two characters (21 points), as Chinese documents are; one paragraph holds
// a display equation, one an equation inside its text, one is of an equation style of its own.
Model IndentedDocument() {
    const Model doc = std::make_shared<DocumentModel>();
    doc->styles = {{L"Normal", 4, 21, 2}, {L"Formula", 4, 10, 1}};
    doc->paragraphs = {{0}, {0}, {0}, {1}, {0, std::nullopt, 5.0, 0.0}};
    doc->equations = {1, 2, 3};
    return doc;
}

TEST_F(WordParagraphs, EquationIndentsAreClearedOnlyForWordTwelve) {
    struct Case {
        const wchar_t* version;
        bool versionFails;
        bool cleared;
    } cases[] = {
        {L"12.0", false, true},
        {L"12.5", false, true},  // the integer part counts
        {L"11.0", false, false},
        {L"14.0", false, false},
        {L"120", false, false},
        {L"", false, false},
        {L"12.0", true, false},  // a version that cannot be read
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(c.version)) + (c.versionFails ? " (fails)" : ""));
        const Model doc = IndentedDocument();
        doc->version = c.version;
        doc->versionFails = c.versionFails;
        OpenDocument open(doc);
        clsOfficeWord::ClearEquationIndents(open.object);

        for (size_t p : {size_t{1}, size_t{2}, size_t{3}}) {
            EXPECT_EQ(doc->FirstLine(p), c.cleared ? 0 : doc->styles[doc->paragraphs[p].style].firstLine) << p + 1;
            EXPECT_EQ(doc->CharUnits(p), c.cleared ? 0 : doc->styles[doc->paragraphs[p].style].charUnits) << p + 1;
        }
        // Paragraphs without an equation keep their indents, so do the styles they share with
        // the equations' paragraphs.
        EXPECT_EQ(doc->FirstLine(0), 21);
        EXPECT_EQ(doc->CharUnits(0), 2);
        EXPECT_EQ(doc->FirstLine(4), 5);
        EXPECT_EQ(doc->CharUnits(4), 0);
        EXPECT_EQ(doc->styles[0].firstLine, 21);
        EXPECT_EQ(doc->styles[0].charUnits, 2);
        EXPECT_EQ(doc->styles[1].firstLine, 10);
        EXPECT_EQ(doc->styles[1].charUnits, 1);
        if (!c.cleared) {
            EXPECT_TRUE(doc->puts.empty()) << ::testing::PrintToString(doc->puts);
        }
    }
}

TEST_F(WordParagraphs, EquationIndentsCharacterUnitsFirstThenPoints) {
    const Model doc = IndentedDocument();
    doc->equations = {1};
    OpenDocument open(doc);
    clsOfficeWord::ClearEquationIndents(open.object);
    EXPECT_EQ(doc->puts, (std::vector<std::wstring>{L"paragraph 2 CharacterUnitFirstLineIndent=0",
                                                    L"paragraph 2 FirstLineIndent=0"}));
}

TEST_F(WordParagraphs, EquationIndentFailuresAreSkipped) {
    struct Case {
        const char* name;
        size_t failingRange;
        bool charUnitsFail;
        std::vector<bool> firstLineCleared;  // per equation
    } cases[] = {
        {"no equation at all", SIZE_MAX, false, {}},
        {"the first equation's range raises", 0, false, {false, true, true}},
        {"character units refused: points still cleared", SIZE_MAX, true, {true, true, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Model doc = IndentedDocument();
        if (c.firstLineCleared.empty()) doc->equations.clear();
        doc->failingEquationRange = c.failingRange;
        doc->paragraphs[1].charUnitsFail = c.charUnitsFail;
        OpenDocument open(doc);
        clsOfficeWord::ClearEquationIndents(open.object);
        for (size_t k = 0; k < c.firstLineCleared.size(); ++k) {
            const size_t p = doc->equations[k];
            EXPECT_EQ(doc->FirstLine(p) == 0, c.firstLineCleared[k]) << "equation " << k + 1;
        }
        if (c.charUnitsFail) {
            EXPECT_EQ(doc->CharUnits(1), 2);
        }
        if (c.firstLineCleared.empty()) {
            EXPECT_TRUE(doc->puts.empty());
        }
        EXPECT_FALSE(open.errors.Pending());
    }
}

}  // namespace
