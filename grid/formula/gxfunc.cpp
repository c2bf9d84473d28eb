// The function table beside the engine: NA and SUM.

#include <memory>

#include "grid/formula/gxeval.h"
#include "grid/formula/gxparse.h"

namespace {

constexpr int kErrErrorCell = 133;

void CallNA(GXValue& result, std::vector<GXValue>&)
{
    result = GXValue::NotAvailable();
}

// Numbers add; a range adds its number cells and passes over empty and text cells. An error
// cell raises as a dereference does; a not-available one makes the sum not available.
void CallSum(GXValue& result, std::vector<GXValue>& args)
{
    int handle = gx_eval_state()->s.handle;
    double sum = 0;
    bool notAvailable = false;
    for (GXValue& a : args) {
        switch (a.type) {
        case gxvNumber:
            sum += a.number;
            break;
        case gxvNotAvailable:
            notAvailable = true;
            break;
        case gxvError:
            gx_raise(a.code, a.extra);
        case gxvRange: {
            GXRangeIter it;
            gx_range_iter_init(handle, a.range, &it, GX_POOL_VALUE | GX_POOL_FORMULA);
            while (GXCell* c = gx_range_iter_next(&it)) {
                if (c->Kind() == gxValNumber)
                    sum += c->value.number;
                else if (c->Kind() == gxError)
                    gx_raise(kErrErrorCell);
                else if (c->Kind() == gxNotAvailable)
                    notAvailable = true;
            }
            break;
        }
        default:
            break;
        }
    }
    result = notAvailable ? GXValue::NotAvailable() : GXValue::Number(sum);
}

class StandardFunctions : public GXFunctionTable {
public:
    StandardFunctions()
    {
        na_.name = "NA";
        na_.id = 1;
        na_.call = CallNA;
        sum_.name = "SUM";
        sum_.id = 2;
        sum_.args.push_back({0, GX_ARG_REPEATING});
        sum_.call = CallSum;
    }
    const GXFunctionDesc* Lookup(const std::string& upperName) const override
    {
        if (upperName == "NA")
            return &na_;
        if (upperName == "SUM")
            return &sum_;
        return nullptr;
    }

private:
    GXFunctionDesc na_, sum_;
};

}  // namespace

std::unique_ptr<GXFunctionTable> gx_new_standard_function_table()
{
    return std::make_unique<StandardFunctions>();
}
