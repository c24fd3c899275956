// A minimal instrument on the master side of a pty: answers read requests with numbered reports,
// records the write frames it receives, and lets a test push any bytes.
#pragma once

#include <atomic>
#include <mutex>
#include <thread>

#include "link/protocol.h"
#include "pty_peer.h"

struct FakeInstrument {
    PtyPeer pty;
    std::atomic<bool> answerPolls{true};
    std::atomic<int> pollsSeen{0};
    std::atomic<int> reportsSent{0};
    std::atomic<std::int64_t> statusWord{0};
    std::mutex sendMutex;
    std::mutex framesMutex;
    std::vector<Frame> writeFrames;
    std::vector<std::chrono::steady_clock::time_point> pollTimes; // when each read request arrived
    std::atomic<bool> stop{false};
    std::thread worker;

    bool start() {
        if (!pty.open()) return false;
        worker = std::thread([this] { run(); });
        return true;
    }
    void finish() {
        stop = true;
        if (worker.joinable()) worker.join();
        pty.close();
    }
    ~FakeInstrument() { finish(); }

    // The report with sequence number n in rawIc, so that a test can check order and completeness.
    void sendReport(std::int64_t n) {
        Report r;
        r.statusWord = statusWord.load();
        r.rawIc = n;
        r.rawVc = -n;
        r.rawVr = 7;
        r.rawVb = 0x7FFFFFFF;
        ReportBytes b = encodeReport(r);
        sendBytes(std::vector<std::uint8_t>(b.begin(), b.end()));
        reportsSent.fetch_add(1);
    }
    void sendBytes(const std::vector<std::uint8_t>& bytes) {
        std::lock_guard<std::mutex> lock(sendMutex);
        pty.send(bytes);
    }
    std::vector<Frame> frames() {
        std::lock_guard<std::mutex> lock(framesMutex);
        return writeFrames;
    }
    std::vector<std::chrono::steady_clock::time_point> polls() {
        std::lock_guard<std::mutex> lock(framesMutex);
        return pollTimes;
    }

private:
    void run() {
        std::vector<std::uint8_t> pending;
        while (!stop) {
            std::uint8_t buf[512];
            ssize_t n = ::read(pty.master, buf, sizeof buf);
            if (n <= 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
                continue;
            }
            pending.insert(pending.end(), buf, buf + n);
            while (pending.size() >= frameSize) {
                Frame f;
                std::copy(pending.begin(), pending.begin() + frameSize, f.begin());
                pending.erase(pending.begin(), pending.begin() + frameSize);
                ParsedFrame p = parseFrame(f.data());
                if (p.isWrite) {
                    std::lock_guard<std::mutex> lock(framesMutex);
                    writeFrames.push_back(f);
                } else {
                    {
                        std::lock_guard<std::mutex> lock(framesMutex);
                        pollTimes.push_back(std::chrono::steady_clock::now());
                    }
                    pollsSeen.fetch_add(1);
                    if (answerPolls) sendReport(1000000 + pollsSeen.load());
                }
            }
        }
    }
};
