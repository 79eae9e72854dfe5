// Batched NV writes in the simulated phone: queued while batch mode is on,
// written by the flush with its report, dropped when batch mode goes off.
#include "qmsl_diag.h"
#include "qmsl_nv_batch.h"
#include "qmsl_nv_batch_sim.h"

#include "sim_test_support.h"

#include <gtest/gtest.h>

namespace {

constexpr unsigned kPort = 10;

class NvBatch : public qmsl_test::ConnectedTest<kPort> {
protected:
    unsigned short write(unsigned short item, unsigned char value) {
        unsigned short status = 99;
        EXPECT_EQ(QLIB_DIAG_NV_WRITE_F(h, item, &value, 1, &status), 1);
        return status;
    }
    struct Report {
        unsigned short lastErrorId = 0xFFFF, total = 0xFFFF;
        unsigned char itemStatus = 0xFF;
    };
    Report flush() {
        Report r;
        EXPECT_EQ(QLIB_DIAG_NV_WRITE_FlushBatchQueue(h, &r.lastErrorId, &r.total, &r.itemStatus), 1);
        return r;
    }
};

TEST_F(NvBatch, WritesWaitForTheFlush) {
    ASSERT_EQ(QLIB_DIAG_NV_WRITE_SetBatchMode(h, 1), 1);
    EXPECT_EQ(write(10, 7), 0);
    EXPECT_EQ(write(11, 8), 0);
    EXPECT_EQ(phone().nv.count(10), 0u);
    EXPECT_EQ(qmsl_sim::nv_batch(phone()).queue.size(), 2u);
    const Report r = flush();
    EXPECT_EQ(r.total, 0);
    EXPECT_EQ(r.lastErrorId, 0);
    EXPECT_EQ(r.itemStatus, 0);
    EXPECT_EQ(phone().nv[10].data, std::vector<std::uint8_t>{7});
    EXPECT_EQ(phone().nv[11].data, std::vector<std::uint8_t>{8});
    // The flush ends batch mode: the next write goes straight to the phone.
    EXPECT_EQ(write(12, 9), 0);
    EXPECT_EQ(phone().nv[12].data, std::vector<std::uint8_t>{9});
}

TEST_F(NvBatch, FlushReportsTheLastRefusedItem) {
    phone().set_nv(20, {1}, 3);
    phone().set_nv(21, {1}, 6);
    ASSERT_EQ(QLIB_DIAG_NV_WRITE_SetBatchMode(h, 1), 1);
    write(20, 5);
    write(21, 5);
    write(22, 5);
    const Report r = flush();
    EXPECT_EQ(r.total, 1);
    EXPECT_EQ(r.lastErrorId, 21);
    EXPECT_EQ(r.itemStatus, 6);
    EXPECT_EQ(phone().nv[20].data, std::vector<std::uint8_t>{1});
    EXPECT_EQ(phone().nv[22].data, std::vector<std::uint8_t>{5});
}

TEST_F(NvBatch, SwitchingBatchModeOffDropsTheQueue) {
    ASSERT_EQ(QLIB_DIAG_NV_WRITE_SetBatchMode(h, 1), 1);
    write(30, 1);
    ASSERT_EQ(QLIB_DIAG_NV_WRITE_SetBatchMode(h, 0), 1);
    EXPECT_TRUE(qmsl_sim::nv_batch(phone()).queue.empty());
    EXPECT_EQ(flush().total, 0);
    EXPECT_EQ(phone().nv.count(30), 0u);
    write(31, 2);
    EXPECT_EQ(phone().nv[31].data, std::vector<std::uint8_t>{2});
}

TEST_F(NvBatch, OutputsATestSetReplaceTheReport) {
    phone().set_outputs("QLIB_DIAG_NV_WRITE_FlushBatchQueue", {550, 1, 5});
    const Report r = flush();
    EXPECT_EQ(r.lastErrorId, 550);
    EXPECT_EQ(r.total, 1);
    EXPECT_EQ(r.itemStatus, 5);
}

TEST_F(NvBatch, AFailedFlushKeepsTheQueue) {
    ASSERT_EQ(QLIB_DIAG_NV_WRITE_SetBatchMode(h, 1), 1);
    write(40, 1);
    phone().inject("QLIB_DIAG_NV_WRITE_FlushBatchQueue", {qmsl_sim::Fault::FalseResult, 0, {}, 0, 1});
    unsigned short a = 0, b = 0;
    unsigned char c = 0;
    EXPECT_EQ(QLIB_DIAG_NV_WRITE_FlushBatchQueue(h, &a, &b, &c), 0);
    EXPECT_EQ(qmsl_sim::nv_batch(phone()).queue.size(), 1u);
    EXPECT_EQ(flush().total, 0);
    EXPECT_EQ(phone().nv[40].data, std::vector<std::uint8_t>{1});
}

} // namespace
