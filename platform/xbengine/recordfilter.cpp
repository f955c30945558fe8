#include "platform/xbengine/recordfilter.h"

#include "platform/xbengine/engineerror.h"
#include "platform/xbengine/errorstate.h"
#include "platform/xbengine/xbe50.h"

namespace {

bool Blank(const String& text) { return text.find_first_not_of(' ') == String::npos; }

}  // namespace

std::unique_ptr<xbexpr::Expression> CompileExpression(const String& text, const AreaContext& context,
                                                      bool condition)
{
    String error;
    auto compiled = condition ? xbexpr::Expression::CompileCondition(text, context, &error)
                              : xbexpr::Expression::Compile(text, context, &error);
    if (!compiled)
        throw EEngineError(XBE_E_EXPR, (error.empty() ? String("Invalid expression") : error) + ": " + text);
    return compiled;
}

std::unique_ptr<xbexpr::Expression> RecordFilter::Compile(const String& text) const
{
    return Blank(text) ? nullptr : CompileExpression(text, FContext, true);
}

void RecordFilter::SetQuery(const String& text)
{
    FQuery = Compile(text);
    FQueryText = FQuery ? text : String();
    FBits.clear();
}

void RecordFilter::SetFilter(const String& text) { FFilter = Compile(text); }

bool RecordFilter::Holds(const xbexpr::Expression& condition, Integer recno, const String& image)
{
    AreaContext::Probe probe(FContext, image, recno);
    xbexpr::Value value;
    if (!condition.Evaluate(FContext, value)) {
        Errors().Record(XBE_E_EXPR, condition.LastError() + ": " + condition.Text());
        condition.ClearError();
        return false;
    }
    return value.Type == xbexpr::ValueType::Logical && value.Logical;
}

bool RecordFilter::PassesQuery(Integer recno, const String& image)
{
    auto bit = FBits.find(recno);
    if (bit != FBits.end())
        return bit->second;
    return !FQuery || Holds(*FQuery, recno, image);
}

bool RecordFilter::Passes(Integer recno, const String& image)
{
    return PassesQuery(recno, image) && (!FFilter || Holds(*FFilter, recno, image));
}
