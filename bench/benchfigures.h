#ifndef TAVREL_BENCHFIGURES_H
#define TAVREL_BENCHFIGURES_H

// The timing and the table every benchmark prints: median and maximum over many repetitions beside
// a target, and the 99th percentile for information (the maximum of a busy machine is mostly the
// scheduler's).
#include <QElapsedTimer>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

struct Figure
{
    QString name;
    int repetitions = 0;
    double medianMs = 0.0;
    double maxMs = 0.0;
    double budgetMs = -1.0; // negative: shown for information only
    double p99Ms = 0.0;
};

// Times `repetitions` runs of step(i) after `warmUp` untimed ones; `between` runs untimed after each
// step (undoing what the step did, so every repetition starts from the same state).
inline Figure measure(const QString& name, int repetitions, double budgetMs, const std::function<void(int)>& step,
                      const std::function<void()>& between = {}, int warmUp = 3)
{
    for (int i = 0; i < warmUp; ++i) {
        step(i);
        if (between)
            between();
    }
    std::vector<double> samples;
    samples.reserve(size_t(repetitions));
    QElapsedTimer timer;
    for (int i = 0; i < repetitions; ++i) {
        timer.start();
        step(i);
        samples.push_back(timer.nsecsElapsed() / 1e6);
        if (between)
            between();
    }
    std::sort(samples.begin(), samples.end());
    Figure f;
    f.name = name;
    f.repetitions = repetitions;
    const size_t n = samples.size();
    if (n > 0) {
        f.medianMs = n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
        f.maxMs = samples.back();
        f.p99Ms = samples[std::min(n - 1, n * 99 / 100)];
    }
    f.budgetMs = budgetMs;
    return f;
}

inline Figure measure(const QString& name, int repetitions, double budgetMs, const std::function<void()>& step,
                      const std::function<void()>& between = {}, int warmUp = 3)
{
    return measure(name, repetitions, budgetMs, [&step](int) { step(); }, between, warmUp);
}

inline void printTable(const std::vector<Figure>& figures)
{
    int width = 0;
    for (const Figure& f : figures)
        width = std::max(width, int(f.name.size()));
    std::printf("\n%-*s %6s %11s %11s %10s  %-26s %s\n", width, "measurement", "reps", "median ms", "max ms",
                "target ms", "within target (median/max)", "p99 ms");
    for (const Figure& f : figures) {
        const QByteArray name = f.name.leftJustified(width).toUtf8();
        const QByteArray target = f.budgetMs < 0 ? QByteArray("-") : QByteArray::number(f.budgetMs, 'f', 2);
        const QByteArray within = f.budgetMs < 0 ? QByteArray("-")
                                                 : QByteArray(f.medianMs <= f.budgetMs ? "yes" : "NO") + '/' +
                                                       (f.maxMs <= f.budgetMs ? "yes" : "NO");
        std::printf("%s %6d %11.4f %11.4f %10s  %-26s %.4f\n", name.constData(), f.repetitions, f.medianMs, f.maxMs,
                    target.constData(), within.constData(), f.p99Ms);
    }
    std::fflush(stdout);
}

#endif
