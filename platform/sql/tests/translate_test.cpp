// The PL/SQL subset's translation, one statement text per row, against a
// catalogue given as a table (no server needed).
#include "sql_translate.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

using sql::Dir;
using sql::Type;

class TableCatalog : public sql::Catalog {
public:
    TableCatalog() {
        // name -> parameter list "mode:name" ('i' IN, 'o' OUT, 'b' IN OUT)
        add("mero_simcode.localc_connect",
            {"i:i_pid", "i:v_username", "i:v_password", "i:v_pcname", "i:v_macadr", "i:v_ipadr"});
        add("mero_simcode.settracingon", {"i:si_trace"});
        add("mero_simcode.getdata",
            {"i:v_coder", "i:v_input", "i:i_insize", "b:v_output", "b:i_outsize", "o:result"});
        add("mero_dorlep_dbc.kt_imp_dorlep",
            {"i:a1", "i:a2", "i:a3", "i:a4", "i:a5", "i:a6", "i:a7", "i:a8", "i:a9", "i:a10",
             "i:a11", "i:a12", "i:a13", "i:a14", "i:a15", "i:a16", "i:a17", "i:a18", "i:a19"});
        add("mero.zi_service", {"i:imei", "i:mac", "i:ip"});
        add("mero_bootpin.getbootpin", {"i:imei", "o:pin", "o:len", "o:result"});
        add("mero.getflashserialnumber", {"b:len", "o:result"});
        add("mero.getior", {"o:v_defaultior", "o:result"});
        add("mero_orgtovikadddata.putdata", {"i:i_imei", "i:i_var1", "o:o_errmsg", "o:result"});
        add("mero_imeifiles.read", {"b:r_filedata", "b:n_length", "o:v_errormessage", "o:result"}, kStable);
        add("mero_imeifiles.closefile", {"o:v_errormessage", "o:result"});
        add("mero_imeifiles.openfile", {"i:v_imei", "i:v_filetype", "o:v_filename", "o:v_errormessage", "o:result"});
        add("mero_imeifiles.writeappend", {"i:r_filedata", "i:n_length", "o:v_errormessage", "o:result"});
        add("mero_pumline.fbgsetimei", {"i:mac", "i:laser", "i:fbg", "i:imei"});
        add("mero.outonly", {"o:x"});
        add("mero.checksum", {"i:v"}, kStable);
    }

    std::optional<sql::Routine> find(const std::string& schema, const std::string& name,
                                     std::string& error) override {
        auto it = routines_.find(schema + "." + name);
        if (it == routines_.end()) {
            error = "no routine " + name + " in schema " + schema;
            return std::nullopt;
        }
        return it->second;
    }

private:
    static constexpr bool kStable = true;  // declared STABLE or IMMUTABLE

    void add(const std::string& full, const std::vector<std::string>& params, bool stable = false) {
        sql::Routine r;
        r.changes_nothing = stable;
        r.schema = full.substr(0, full.find('.'));
        r.name = full.substr(full.find('.') + 1);
        for (const auto& p : params) r.params.push_back({p.substr(2), p[0]});
        routines_[full] = r;
    }
    std::map<std::string, sql::Routine> routines_;
};

// One host variable per letter: i/I/o int IN/IN OUT/OUT, s short IN,
// v/V/w varchar IN/IN OUT/OUT, r/R/x raw IN/IN OUT/OUT, n varchar OUT with
// an indicator.
std::vector<sql::Bind> binds_for(const std::string& shape, std::vector<std::int16_t>& indicators) {
    static std::int32_t number;
    static std::int16_t small;
    static std::uint16_t len;
    static char bytes[8];
    indicators.assign(shape.size(), 0);
    std::vector<sql::Bind> out;
    for (std::size_t i = 0; i < shape.size(); ++i) {
        char c = shape[i];
        Dir d = std::string("IVR").find(c) != std::string::npos   ? Dir::inout
                : std::string("owxn").find(c) != std::string::npos ? Dir::out
                                                                   : Dir::in;
        sql::Bind b;
        if (c == 'i' || c == 'I' || c == 'o') b = sql::bind_int(d, number);
        else if (c == 's') b = sql::bind_short(d, small);
        else if (c == 'r' || c == 'R' || c == 'x') b = sql::bind_bytes(d, bytes, len, sizeof bytes);
        else b = {Type::varchar, d, bytes, &len, sizeof bytes, nullptr};
        if (c == 'n') b.indicator = &indicators[i];
        out.push_back(b);
    }
    return out;
}

// A readable form of a plan: steps separated by " | "; a query that calls
// only routines that change nothing ends in " (reads only)".
std::string dump(const sql::Plan& p) {
    if (p.error_code) return "error " + std::to_string(p.error_code) + ": " + p.error;
    std::string s;
    for (const auto& st : p.steps) {
        if (!s.empty()) s += " | ";
        switch (st.kind) {
        case sql::Step::Kind::commit: s += "COMMIT"; break;
        case sql::Step::Kind::rollback: s += "ROLLBACK"; break;
        case sql::Step::Kind::literal:
            s += ":" + std::to_string(st.target) + " := " + (st.literal ? "'" + *st.literal + "'" : "NULL");
            break;
        case sql::Step::Kind::query:
        case sql::Step::Kind::select_into: {
            s += st.sql + " [";
            for (std::size_t i = 0; i < st.params.size(); ++i) s += (i ? "," : "") + std::to_string(st.params[i]);
            s += "] ->";
            for (const auto& o : st.outputs)
                s += " " + (o.column.empty() ? "#" + std::to_string(o.index) : o.column) + ":" + std::to_string(o.bind);
            if (st.reads_only) s += " (reads only)";
            break;
        }
        }
    }
    return s;
}

struct Row {
    const char* name;
    const char* text;
    const char* shape;
    const char* expected;  // the whole dump, or "error <code>: <part of the text>"
};

void PrintTo(const Row& r, std::ostream* os) { *os << r.name; }

class Translate : public ::testing::TestWithParam<Row> {};

TEST_P(Translate, GivesThePlanOrARefusal) {
    const Row& row = GetParam();
    TableCatalog catalog;
    std::vector<std::int16_t> ind;
    auto binds = binds_for(row.shape, ind);
    std::string got = dump(sql::translate(row.text, binds, catalog));
    std::string want = row.expected;
    if (want.rfind("error ", 0) == 0) {
        std::string code = want.substr(0, want.find(':'));
        EXPECT_EQ(got.substr(0, code.size()), code) << got;
        EXPECT_NE(got.find(want.substr(code.size() + 2)), std::string::npos) << got;
    } else {
        EXPECT_EQ(got, want);
    }
}

const Row kRows[] = {
    {"Registration",
     "begin :i_retwert := 0 ; :i_retwert := mero . simcode . LOCALC_CONNECT ( :i_pid , :v_username , "
     ":v_password , :v_pcname , :v_macadr , :v_ipadr ) ; COMMIT ; END ;",
     "oivvvvv",
     ":0 := '0' | SELECT * FROM \"mero_simcode\".\"localc_connect\"($1, $2, $3, $4, $5, $6) "
     "[1,2,3,4,5,6] -> #0:0 | COMMIT"},
    {"TracingCallStatement", "begin mero . simcode . setTracingOn ( :si_trace ) ; END ;", "s",
     "SELECT * FROM \"mero_simcode\".\"settracingon\"($1) [0] ->"},
    {"SelectIntoWithIndicator",
     "begin select text into :v_text:indicatorText from mero . bas_meltex where sprach_nr = :v_sprachNr "
     "and nr = :i_nr ; END ;",
     "nvi",
     "SELECT \"text\" FROM \"mero\".\"bas_meltex\" WHERE \"sprach_nr\" = $1 AND \"nr\" = $2 LIMIT 2 [1,2] -> #0:0"},
    {"OutOnlyFunctionWithResult", "begin :v_IOR := mero . getIOR ( :v_defaultIOR ) ; END ;", "ww",
     "SELECT * FROM \"mero\".\"getior\"() [] -> v_defaultior:1 result:0"},
    {"InOutRawAndInt",
     "begin :l_ret := 0 ; :l_ret := mero . simcode . getData ( :v_Coder , :v_InputData , :i_InputSize , "
     ":v_OutputData , :i_OutputSize ) ; COMMIT ; END ;",
     "ovriRI",
     ":0 := '0' | SELECT * FROM \"mero_simcode\".\"getdata\"($1, $2, $3, $4, $5) [1,2,3,4,5] -> "
     "v_output:4 i_outsize:5 result:0 | COMMIT"},
    {"ReportWithToDate",
     "begin :l_ret_wert := 0 ; :l_ret_wert := MERO . DORLEP_DBC . KT_IMP_DORLEP ( :v_imei_nr , :i_pruefstatus , "
     ":v_linie_staort , :v_linie_typ , :i_linie_nr , to_date ( :v_pruef_datum , 'YYYY-MM-DD HH24:MI:SS' ) , "
     ":v_sach_nr , :v_sw_rel , to_date ( :v_comp_datum , 'YYYY-MM-DD HH24:MI:SS' ) , :v_simcard_nr , "
     ":v_flash_nr , :i_Zpos , :v_pcMacId , :i_StdMapVer , :i_Provider , :i_DeltaMapVer , :i_Simlock , "
     ":i_Bitmap , :i_Sound ) ; COMMIT ; END ;",
     "ovivvivvvvvviviiiiii",
     ":0 := '0' | SELECT * FROM \"mero_dorlep_dbc\".\"kt_imp_dorlep\"($1, $2, $3, $4, $5, "
     "to_timestamp(nullif(($6)::text, ''), 'YYYY-MM-DD HH24:MI:SS')::timestamp(0), $7, $8, "
     "to_timestamp(nullif(($9)::text, ''), 'YYYY-MM-DD HH24:MI:SS')::timestamp(0), $10, $11, $12, $13, "
     "$14, $15, $16, $17, $18, $19) [1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19] -> #0:0 | COMMIT"},
    {"ExtraBind", "begin :a := 0 ; END ;", "oo", "error -900: has 1 host variables but 2 are bound"},
    {"RepeatedNameIsOneBind", "begin :A := 0 ; :a := mero . zi_service ( :b , :a , :c ) ; END ;", "Vvv",
     ":0 := '0' | SELECT * FROM \"mero\".\"zi_service\"($1, $2, $3) [1,0,2] -> #0:0"},
    {"ToNumberOfNvl",
     "begin :lret := -2 ; :lret := TO_NUMBER ( NVL ( MERO . ZI_SERVICE ( :v_imei_nr , :v_macadr , :v_ipadr ) , "
     "'-1' ) ) ; END ;",
     "ovvv",
     ":0 := '-2' | SELECT (nullif((coalesce(nullif((\"mero\".\"zi_service\"($1, $2, $3))::text, ''), "
     "('-1')::text))::text, ''))::numeric AS value [1,2,3] -> #0:0"},
    {"NvlIntoText",
     "begin :v_code := '-2' ; :v_code := NVL ( MERO . ZI_SERVICE ( :v_imei_nr , :v_macadr , :v_ipadr ) , '-1' ) ; END ;",
     "wvvv",
     ":0 := '-2' | SELECT coalesce(nullif((\"mero\".\"zi_service\"($1, $2, $3))::text, ''), ('-1')::text) "
     "AS value [1,2,3] -> #0:0"},
    {"OutParametersBetweenInputs",
     "begin :l_ret := 0 ; :l_ret := mero . bootPin . getBootPin ( :v_imei , :r_bootPin , :n_len ) ; END ;",
     "ovxo",
     ":0 := '0' | SELECT * FROM \"mero_bootpin\".\"getbootpin\"($1) [1] -> pin:2 len:3 result:0"},
    {"InOutOnly", "begin :r_FlashNr := mero . getFlashSerialNumber ( :n_len ) ; END ;", "xI",
     "SELECT * FROM \"mero\".\"getflashserialnumber\"($1) [1] -> len:1 result:0"},
    {"NamedArguments",
     "begin :lRet := mero . OrgTovikAddData . putData ( i_Var1 => :v1 , i_imei => :bvchImei , "
     "o_ErrMsg => :bvchErrMsg ) ; END ;",
     "ovvw",
     "SELECT * FROM \"mero_orgtovikadddata\".\"putdata\"(\"i_imei\" => $1, \"i_var1\" => $2) [2,1] -> "
     "o_errmsg:3 result:0"},
    {"FileChunkInOut",
     "begin :n_returnValue := mero . ImeiFiles . read ( :r_fileData , :n_length , :v_errorMessage ) ; END ;",
     "oRIw",
     "SELECT * FROM \"mero_imeifiles\".\"read\"($1, $2) [1,2] -> r_filedata:1 n_length:2 v_errormessage:3 result:0"
     " (reads only)"},
    // Reads only: every routine a query calls is declared to change nothing.
    {"StableCallStatement", "begin mero . checksum ( :v ) ; END ;", "v",
     "SELECT * FROM \"mero\".\"checksum\"($1) [0] -> (reads only)"},
    {"StableInsideExpression", "begin :x := NVL ( mero . checksum ( :v ) , 0 ) ; END ;", "ov",
     "SELECT coalesce(nullif((\"mero\".\"checksum\"($1))::text, ''), ((0))::text) AS value [1] -> #0:0 (reads only)"},
    {"ExpressionWithoutCalls", "begin :x := TO_NUMBER ( :v ) ; END ;", "ov",
     "SELECT (nullif(($1)::text, ''))::numeric AS value [1] -> #0:0 (reads only)"},
    {"StableBesideAChangingCall",
     "begin :x := NVL ( mero . checksum ( :v ) , mero . zi_service ( :a , :b , :c ) ) ; END ;", "ovvvv",
     "SELECT coalesce(nullif((\"mero\".\"checksum\"($4))::text, ''), (\"mero\".\"zi_service\"($1, $2, $3))::text) "
     "AS value [2,3,4,1] -> #0:0"},
    {"EachStepOnItsOwn", "begin :x := mero . zi_service ( :a , :b , :c ) ; :y := mero . checksum ( :v ) ; END ;",
     "ovvvov",
     "SELECT * FROM \"mero\".\"zi_service\"($1, $2, $3) [1,2,3] -> #0:0 | "
     "SELECT * FROM \"mero\".\"checksum\"($1) [5] -> #0:4 (reads only)"},
    {"SelectIntoIsNotMarked", "begin select text into :v from mero . t ; END ;", "w",
     "SELECT \"text\" FROM \"mero\".\"t\" LIMIT 2 [] -> #0:0"},
    {"NoArguments", "begin :n_returnValue := mero . ImeiFiles . closeFile ( :v_errorMessage ) ; END ;", "ow",
     "SELECT * FROM \"mero_imeifiles\".\"closefile\"() [] -> v_errormessage:1 result:0"},
    {"OutParameterAfterInputs",
     "begin :n_returnValue := mero . ImeiFiles . openFile ( :v_imei , :v_fileType , :v_fileName , :v_errorMessage ) ; END ;",
     "ovvww",
     "SELECT * FROM \"mero_imeifiles\".\"openfile\"($1, $2) [1,2] -> v_filename:3 v_errormessage:4 result:0"},
    {"RawChunkIn",
     "begin :n_returnValue := mero . ImeiFiles . writeAppend ( :r_fileData , :n_length , :v_errorMessage ) ; END ;",
     "oriw",
     "SELECT * FROM \"mero_imeifiles\".\"writeappend\"($1, $2) [1,2] -> v_errormessage:3 result:0"},
    {"ScalarFunctionResult",
     "begin :lRet := mero . pumline . FbgSetIMEI ( :bvchMacAdr , :bvchLaserId , :bvchFbgId , :bvchIMEI ) ; END ;",
     "ovvvv",
     "SELECT * FROM \"mero_pumline\".\"fbgsetimei\"($1, $2, $3, $4) [1,2,3,4] -> #0:0"},
    {"CommitAlone", "COMMIT", "", "COMMIT"},
    {"RollbackWork", "rollback work ;", "", "ROLLBACK"},
    {"EmptyTextLiteralIsNull", "begin :v := '' ; END ;", "w", ":0 := NULL"},
    {"NullLiteral", "begin :v := NULL ; END ;", "w", ":0 := NULL"},
    {"CompactSpacing", "BEGIN :x:=mero.zi_service(:a,:b,:c);END;", "wvvv",
     "SELECT * FROM \"mero\".\"zi_service\"($1, $2, $3) [1,2,3] -> #0:0"},
    // Refusals.
    {"UnknownRoutine", "begin :x := mero . nothing ( ) ; END ;", "o", "error -6550: no routine nothing"},
    {"UnqualifiedRoutine", "begin :x := zi_service ( :a , :b , :c ) ; END ;", "ovvv",
     "error -900: not qualified"},
    {"WrongArgumentCount", "begin :x := mero . zi_service ( :a , :b ) ; END ;", "ovv",
     "error -6550: wrong number of arguments"},
    {"OutArgumentNotAHostVariable", "begin :x := mero . getFlashSerialNumber ( 5 ) ; END ;", "x",
     "error -6550: must be a host variable"},
    {"OutRoutineInsideExpression", "begin :x := NVL ( mero . getFlashSerialNumber ( :n ) , 0 ) ; END ;", "oI",
     "error -6550: cannot be used in an expression"},
    {"OutRoutineWithoutResult", "begin :x := mero . outonly ( :y ) ; END ;", "oo", "error -6550: no result column"},
    {"TooFewBinds", "begin :a := mero . zi_service ( :b , :c , :d ) ; END ;", "ovv", "error -900: has no bind"},
    {"IndicatorNotBound", "begin select text into :v:ind from mero . t ; END ;", "w",
     "error -900: no indicator is bound"},
    {"AssignToInBind", "begin :a := 0 ; END ;", "i", "error -900: is bound IN"},
    {"OutParameterIntoInBind", "begin :a := mero . getFlashSerialNumber ( :n ) ; END ;", "xi",
     "error -900: is bound IN"},
    {"Loop", "begin loop null ; end loop ; END ;", "", "error -900: expected '(' but found 'null'"},
    {"Exception", "begin :a := 0 ; exception when others then null ; END ;", "o",
     "error -900: expected '(' but found 'when'"},
    {"PlainSql", "update mero . station set result = 0", "", "error -900: expected begin"},
    {"MissingEnd", "begin :a := 0 ;", "o", "error -900: expected END"},
    {"TextAfterEnd", "begin :a := 0 ; END ; commit ;", "o", "error -900: expected end of text"},
    {"UnknownCharacter", "begin :a := 1 + 2 ; END ;", "o", "error -900: unsupported character '+'"},
    {"UnterminatedText", "begin :a := 'abc ; END ;", "w", "error -900: unterminated text"},
    {"DecimalNumber", "begin :a := 1.5 ; END ;", "o", "error -900: unsupported number"},
    {"UnknownDateFormat", "begin :a := mero . zi_service ( to_date ( :b , 'DD-MON-RR' ) , :c , :d ) ; END ;",
     "ovvv", "error -900: unsupported date format"},
    {"ThreePartTable", "begin select a into :x from a . b . c ; END ;", "w", "error -900: at most two parts"},
    {"PositionalAfterNamed", "begin :a := mero . zi_service ( imei => :b , :c , :d ) ; END ;", "ovvv",
     "error -900: positional argument follows a named one"},
    {"UnknownNamedParameter", "begin :a := mero . zi_service ( imei => :b , mac => :c , port => :d ) ; END ;",
     "ovvv", "error -6550: has no parameter port"},
};

INSTANTIATE_TEST_SUITE_P(Statements, Translate, ::testing::ValuesIn(kRows),
                         [](const auto& info) { return std::string(info.param.name); });

// ":a := TO_NUMBER ( ... TO_NUMBER ( :b ) ... )" with `levels` calls: the
// expression nests levels + 1 deep (the host variable is the innermost).
std::string nested(int levels) {
    std::string text = "begin :a := ";
    for (int i = 0; i < levels; ++i) text += "TO_NUMBER ( ";
    text += ":b";
    for (int i = 0; i < levels; ++i) text += " )";
    return text + " ; END ;";
}

struct NestingRow {
    const char* name;
    int levels;
    bool accepted;
};
void PrintTo(const NestingRow& r, std::ostream* os) { *os << r.name; }

class TranslateNesting : public ::testing::TestWithParam<NestingRow> {};

// Deep text is refused with -900, never by running out of stack.
TEST_P(TranslateNesting, BoundedDepth) {
    TableCatalog catalog;
    std::vector<std::int16_t> indicators;
    auto binds = binds_for("oi", indicators);
    sql::Plan plan = sql::translate(nested(GetParam().levels), binds, catalog);
    if (GetParam().accepted) {
        EXPECT_EQ(plan.error_code, 0) << plan.error;
        ASSERT_EQ(plan.steps.size(), 1u);
    } else {
        EXPECT_EQ(plan.error_code, -900);
        EXPECT_NE(plan.error.find("nested deeper than 64 levels"), std::string::npos) << plan.error;
        EXPECT_TRUE(plan.steps.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Statements, TranslateNesting,
                         ::testing::Values(NestingRow{"SixtyFourDeep", 63, true},
                                           NestingRow{"SixtyFiveDeep", 64, false},
                                           NestingRow{"FiveThousandDeep", 5000, false},
                                           NestingRow{"TwoHundredThousandDeep", 200000, false}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
