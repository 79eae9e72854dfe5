// Listing, get and put: data split over packets, the caller's capacity, the
// room in a put packet and the local files.
#include "obex_test_support.h"

#include <cstring>

namespace {

using namespace obextest;

class ObexTransfer : public ObexFixture {
protected:
    void SetUp() override {
        ObexFixture::SetUp();
        server().add_folder("pics");
        for (int i = 0; i < 6; ++i) server().add_file("pics/image" + std::to_string(i) + ".jpg", filled(100 + i));
        std::memset(buffer, '#', sizeof buffer);
    }
    // The listing the server gives for "pics", as it gives it.
    std::string fullListing() {
        std::string text;
        unsigned int size = sizeof buffer;
        EXPECT_EQ(KAVOR_OBEX_ListDir(h, "pics\\", buffer, &size, &bits), 1);
        text.assign(buffer, size);
        std::memset(buffer, '#', sizeof buffer);
        return text;
    }
    std::string listInto(unsigned int capacity, unsigned int& size) {
        size = capacity;
        KAVOR_OBEX_ListDir(h, "pics\\", buffer, &size, &bits);
        return std::string(buffer, size);
    }
    // Bytes behind `from` that the listing left untouched.
    bool untouchedFrom(std::size_t from) {
        for (std::size_t i = from; i < sizeof buffer; ++i)
            if (buffer[i] != '#') return false;
        return true;
    }
    Bytes getFile(const char* name, unsigned short expectedBits = 0) {
        EXPECT_EQ(KAVOR_OBEX_GetFile(h, "pics\\", name, local.c_str(), &bits), 1);
        EXPECT_EQ(bits, expectedBits);
        return readLocal(name);
    }
    Bytes sendFile(const char* name, std::size_t n) {
        writeLocal(name, filled(n, 3));
        EXPECT_EQ(KAVOR_OBEX_SendFile(h, local.c_str(), name, "pics\\", &bits), 1);
        EXPECT_EQ(bits, 0);
        return server().files["pics/" + std::string(name)].data;
    }
    std::vector<Bytes> putRequests() {
        std::vector<Bytes> r;
        for (const Bytes& b : requests())
            if (!b.empty() && (b[0] == 0x02 || b[0] == 0x82)) r.push_back(b);
        return r;
    }

    char buffer[2048];
    unsigned short bits = 0;
};

TEST_F(ObexTransfer, ListingArrivesWholeOverSeveralPackets) {
    server().body_chunk = 50;
    const std::string listing = fullListing();
    ASSERT_GT(listing.size(), 200u);
    EXPECT_NE(listing.find("<file name=\"image5.jpg\" size=\"105\"/>"), std::string::npos);
    EXPECT_EQ(listing.rfind("</folder-listing>\n"), listing.size() - 18);
    server().length_header = true;
    server().data_in_end_of_body = true;
    EXPECT_EQ(fullListing(), listing);
}

struct CapacityCase {
    const char* name;
    bool lengthHeader;
    bool endOfBody;
};
void PrintTo(const CapacityCase& c, std::ostream* os) { *os << c.name; }

class ObexListingCapacity : public ObexTransfer, public ::testing::WithParamInterface<CapacityCase> {};

TEST_P(ObexListingCapacity, ExactCapacityFitsOneByteLessFailsWithoutOverrun) {
    server().body_chunk = 64;
    server().length_header = GetParam().lengthHeader;
    server().data_in_end_of_body = GetParam().endOfBody;
    const std::string listing = fullListing();
    unsigned int size = 0;
    EXPECT_EQ(listInto(static_cast<unsigned int>(listing.size()), size), listing);
    EXPECT_EQ(bits, 0);
    EXPECT_TRUE(untouchedFrom(listing.size()));

    std::memset(buffer, '#', sizeof buffer);
    const unsigned int capacity = static_cast<unsigned int>(listing.size() - 1);
    listInto(capacity, size);
    EXPECT_EQ(bits, 16);
    EXPECT_LE(size, capacity);
    EXPECT_TRUE(untouchedFrom(capacity));
    if (GetParam().lengthHeader) {
        EXPECT_EQ(size, 0u);  // refused on the announced length, before any data
    } else {
        EXPECT_EQ(std::string(buffer, size), listing.substr(0, size));
    }
}

INSTANTIATE_TEST_SUITE_P(Obex, ObexListingCapacity,
                         ::testing::Values(CapacityCase{"WithLengthHeader", true, false},
                                           CapacityCase{"WithoutLengthHeader", false, false},
                                           CapacityCase{"WithoutLengthHeaderLastPieceInEndOfBody", false, true}),
                         [](const auto& info) { return std::string(info.param.name); });

struct GetCase {
    const char* name;
    std::size_t fileSize, chunk;
    bool lengthHeader, endOfBody;
};
void PrintTo(const GetCase& c, std::ostream* os) { *os << c.name; }

class ObexGet : public ObexTransfer, public ::testing::WithParamInterface<GetCase> {};

TEST_P(ObexGet, LocalFileHoldsThePhoneFile) {
    const GetCase& c = GetParam();
    const Bytes data = filled(c.fileSize, 9);
    server().add_file("pics/x.bin", data);
    server().body_chunk = c.chunk;
    server().length_header = c.lengthHeader;
    server().data_in_end_of_body = c.endOfBody;
    writeLocal("x.bin", ascii("an older, longer file of the same name that must go"));
    EXPECT_EQ(getFile("x.bin"), data);
}

INSTANTIATE_TEST_SUITE_P(
    Obex, ObexGet,
    ::testing::Values(GetCase{"OneBodyPacket", 300, 1000, false, false},
                      GetCase{"SplitOverSeveralPackets", 3000, 700, false, false},
                      GetCase{"SplitWithLengthHeader", 3000, 700, true, false},
                      GetCase{"LastPieceInEndOfBody", 3000, 700, false, true},
                      GetCase{"WholeFileInEndOfBody", 300, 1000, false, true},
                      GetCase{"EmptyFile", 0, 1000, false, false},
                      GetCase{"EmptyFileInEndOfBody", 0, 1000, true, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ObexTransfer, GetThatFailsMidwayLeavesNoLocalFile) {
    server().add_file("pics/x.bin", filled(3000));
    server().body_chunk = 700;
    server().script[ObexOp::Get] = {0, 0, 0xD0};  // the third answer is an internal error
    getFile("x.bin", 32);
    EXPECT_FALSE(localExists("x.bin"));
}

TEST_F(ObexTransfer, GetOfAMissingFileLeavesTheLocalFolderAlone) {
    writeLocal("other.bin", {1, 2});
    getFile("absent.bin", 64);
    EXPECT_FALSE(localExists("absent.bin"));
    EXPECT_EQ(readLocal("other.bin"), (Bytes{1, 2}));
}

TEST_F(ObexTransfer, GetJoinsLocalFolderAndNameWithoutSeparator) {
    server().add_file("pics/x.bin", {7});
    const std::string prefix = dir.string() + "/copy_of_";
    EXPECT_EQ(KAVOR_OBEX_GetFile(h, "pics\\", "x.bin", prefix.c_str(), &bits), 1);
    EXPECT_EQ(readLocal("copy_of_x.bin"), Bytes{7});
}

TEST_F(ObexTransfer, GetIntoAnUnwritableFolderFails) {
    server().add_file("pics/x.bin", {7});
    const std::string missing = dir.string() + "/no/such/folder/";
    EXPECT_EQ(KAVOR_OBEX_GetFile(h, "pics\\", "x.bin", missing.c_str(), &bits), 1);
    EXPECT_EQ(bits, 32);
}

// Name "f.bin": the first packet has room for 4093 - 39 - 10 = 4044 data
// bytes, every later one for 4093 - 11 = 4082.
struct PutCase {
    const char* name;
    std::size_t fileSize;
    std::vector<std::size_t> packetData;  // data bytes per packet
};
void PrintTo(const PutCase& c, std::ostream* os) { *os << c.name; }

class ObexPut : public ObexTransfer, public ::testing::WithParamInterface<PutCase> {};

TEST_P(ObexPut, SplitsAtTheRoomOfEachPacket) {
    const PutCase& c = GetParam();
    EXPECT_EQ(sendFile("f.bin", c.fileSize), filled(c.fileSize, 3));
    const auto puts = putRequests();
    ASSERT_EQ(puts.size(), c.packetData.size());
    for (std::size_t i = 0; i < puts.size(); ++i) {
        const bool last = i + 1 == puts.size();
        const std::size_t header = i == 0 ? 49 : 11;
        EXPECT_EQ(puts[i][0], last ? 0x82 : 0x02) << "packet " << i;
        EXPECT_EQ(puts[i].size(), header + c.packetData[i]) << "packet " << i;
        EXPECT_EQ(puts[i][header - 3], last ? 0x49 : 0x48) << "packet " << i;
        EXPECT_LE(puts[i].size(), 4093u);
    }
    EXPECT_EQ(server().files["pics/f.bin"].time, "20050701T134500");
}

INSTANTIATE_TEST_SUITE_P(Obex, ObexPut,
                         ::testing::Values(PutCase{"EmptyFileIsOneFinalPacket", 0, {0}},
                                           PutCase{"ExactlyTheFirstRoom", 4044, {4044}},
                                           PutCase{"OneByteOverTheFirstRoom", 4045, {4044, 1}},
                                           PutCase{"ExactlyTwoPackets", 4044 + 4082, {4044, 4082}},
                                           PutCase{"ThreePackets", 4044 + 4082 + 5, {4044, 4082, 5}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ObexTransfer, PutStopsAtTheFirstPacketNotAnsweredContinue) {
    writeLocal("f.bin", filled(9000));
    server().script[ObexOp::Put] = {0xA0};
    EXPECT_EQ(KAVOR_OBEX_SendFile(h, local.c_str(), "f.bin", "", &bits), 0);
    EXPECT_EQ(bits, 64);
    EXPECT_EQ(putRequests().size(), 1u);
}

TEST_F(ObexTransfer, MissingLocalFileSendsNoPut) {
    EXPECT_EQ(KAVOR_OBEX_SendFile(h, local.c_str(), "absent.bin", "", &bits), 0);
    EXPECT_EQ(bits, 64);
    EXPECT_TRUE(putRequests().empty());
    EXPECT_EQ(server().requests, (std::vector<ObexOp>{ObexOp::Connect, ObexOp::Disconnect}));
}

// A name of n characters made of local sub-folders, so that the local file
// (folder text followed by the name) can exist.
std::string nestedName(const std::filesystem::path& dir, std::size_t n) {
    std::string name;
    while (n - name.size() > 201) name += std::string(200, 'd') + "/";
    std::filesystem::create_directories(dir / name);
    return name + std::string(n - name.size(), 'f');
}

TEST_F(ObexTransfer, NameThatLeavesNoRoomForDataIsRefusedUnsent) {
    // 39 + 2 x 2026 = 4091 leaves room for 2 bytes; 2027 characters leave none.
    const std::string longest = nestedName(dir, 2026), tooLong = nestedName(dir, 2027);
    writeLocal(longest, {1, 2});
    writeLocal(tooLong, {1, 2});
    EXPECT_EQ(KAVOR_OBEX_SendFile(h, local.c_str(), longest.c_str(), "", &bits), 1);
    EXPECT_EQ(bits, 0);
    ASSERT_EQ(putRequests().size(), 1u);
    EXPECT_EQ(putRequests()[0].size(), 4093u);

    phone().clear_journal();
    EXPECT_EQ(KAVOR_OBEX_SendFile(h, local.c_str(), tooLong.c_str(), "", &bits), 0);
    EXPECT_EQ(bits, 64);
    EXPECT_TRUE(putRequests().empty());
}

TEST_F(ObexTransfer, SentFileComesBackTheSame) {
    const Bytes sent = sendFile("round.bin", 10000);
    server().body_chunk = 3000;
    std::filesystem::remove(dir / "round.bin");
    EXPECT_EQ(getFile("round.bin"), sent);
}

} // namespace
