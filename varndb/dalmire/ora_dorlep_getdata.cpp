// Coder data: an input block for a named coder, the database's answer back.
// GetData and GetApxData run the same block with host buffers of
// different sizes.
#include "dalmire_internal.h"

#include "errtext.h"
#include "varndb.h"

#include <algorithm>
#include <cstring>

namespace dalmire {
namespace {

constexpr const char* kGetDataBlock =
    "begin :l_ret := 0 ; :l_ret := mero . simcode . getData ( :v_Coder , :v_InputData , :i_InputSize , "
    ":v_OutputData , :i_OutputSize ) ; COMMIT ; END ;";

// Sizes the caller may ask for at most; the host buffers are smaller still.
constexpr int kSizeLimit = 31999;
constexpr std::size_t kCoderLimit = 254;

template <int InCapacity, int OutCapacity>
int getData(const char* coder, const unsigned char* in, int inSize, unsigned char* out, int* outSize,
            char* errText) {
    if (int c = connectionCheck(errText, VARNDB_E_NOT_CONNECTED)) return c;
    // Beyond the limit the caller is told of, a size never passes the host
    // buffer it is bound to.
    if (!in || !out || !outSize || inSize < 0 || inSize > kSizeLimit || inSize > InCapacity || *outSize < 0 ||
        *outSize > kSizeLimit) {
        varndb::put_text(errText, "VaRndb.dll: varndb_GetData() - parameter null or to big [>=32000]!");
        return VARNDB_E_REGISTER_SQL;
    }
    if (textLength(coder, kCoderLimit) > kCoderLimit) {
        varndb::put_text(errText, "VaRndb.dll: varndb_GetData() - pvCoder is to big [>=255]!");
        return VARNDB_E_REGISTER;
    }
    std::int32_t ret = 0;
    std::uint16_t coderLen = 0;
    sql::Raw<InCapacity> input;
    std::memcpy(input.arr, in, static_cast<std::size_t>(inSize));
    input.len = static_cast<std::uint16_t>(inSize);
    std::int32_t inputSize = inSize;
    // The caller's buffer goes in as far as the host buffer holds it.
    const int bound = std::min(*outSize, OutCapacity);
    sql::Raw<OutCapacity> output;
    std::memcpy(output.arr, out, static_cast<std::size_t>(bound));
    output.len = static_cast<std::uint16_t>(bound);
    std::int32_t outputSize = *outSize;

    using sql::Dir;
    const sql::Bind binds[] = {sql::bind_int(Dir::out, ret),           inText(coder, coderLen, 255),
                               sql::bind_raw(Dir::in, input),          sql::bind_int(Dir::in, inputSize),
                               sql::bind_raw(Dir::inout, output),      sql::bind_int(Dir::inout, outputSize)};
    sql::Sqlca ca = runWithRerun(kGetDataBlock, binds);
    if (!ca.ok()) {
        varndb::put_text(errText, "Oracle error: %d (%s)!", ca.sqlcode, ca.sqlerrm.c_str());
        return VARNDB_E_LOCAL;
    }
    if (ret == 0) {
        // A size from the database is a copy length only inside the buffers.
        const int size = outputSize;
        if (size < 0 || size > bound) {
            varndb::put_text(errText, "Result size (%d byte) is greater as your output buffer (%d byte)!", size,
                             bound);
            return VARNDB_E_RESULT_SIZE;
        }
        std::memcpy(out, output.arr, static_cast<std::size_t>(size));
        *outSize = size;
    } else {
        varndb::put_text(errText, "%s (%d)\n%s", getErrorText(ret).c_str(), ret,
                         dataText(output.arr, output.len, 150).c_str());
    }
    autoDisconnect();
    return ret;
}

} // namespace
} // namespace dalmire

extern "C" int varndb_GetData(const char* coder, const unsigned char* in, int inSize, unsigned char* out,
                              int* outSize, char* errText) {
    return dalmire::guarded(errText, [&] { return dalmire::getData<800, 2000>(coder, in, inSize, out, outSize, errText); });
}

extern "C" int varndb_GetApxData(const char* coder, const unsigned char* in, int inSize, unsigned char* out,
                                 int* outSize, char* errText) {
    return dalmire::guarded(errText,
                            [&] { return dalmire::getData<400, 10000>(coder, in, inSize, out, outSize, errText); });
}
