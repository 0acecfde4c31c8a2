#include "viewer/reserved_memory.h"

#include <QTest>

#include <cstring>

using qelvrin::ReservedMemory;

class TestReservedMemory : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void grow_withinReservation_keepsAddress()
    {
        ReservedMemory memory;
        memory.reserve(8 << 20);
        char* base = memory.data();
        std::memset(base, 'a', 4096);
        memory.grow(6 << 20);
        QCOMPARE(memory.data(), base);
        QCOMPARE(memory.data()[4095], 'a');
    }

    void grow_beyondReservation_keepsContent()
    {
        ReservedMemory memory;
        memory.reserve(1);
        const std::size_t first = memory.capacity();
        for (std::size_t i = 0; i < first; i += 4096)
            memory.data()[i] = char('a' + (i / 4096) % 26);
        memory.grow(first * 3 + 5);
        QVERIFY(memory.capacity() >= first * 3 + 5);
        for (std::size_t i = 0; i < first; i += 4096)
            QCOMPARE(memory.data()[i], char('a' + (i / 4096) % 26));
        // The new room is usable and starts out zero.
        QCOMPARE(memory.data()[first * 3], char(0));
        memory.data()[first * 3 + 4] = 'z';
    }

    void release_leavesNothingMapped()
    {
        ReservedMemory memory;
        memory.reserve(1 << 20);
        memory.release();
        QCOMPARE(memory.data(), nullptr);
        QCOMPARE(memory.capacity(), std::size_t(0));
        memory.grow(10);
        QVERIFY(memory.data() != nullptr);
    }
};

QTEST_GUILESS_MAIN(TestReservedMemory)
#include "tst_reserved_memory.moc"
