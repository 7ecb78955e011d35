#!/usr/bin/env python3
"""Prints the benchmark table from Google Benchmark JSON files: each timing beside
its baseline measured in the same run, the ratio, and the goal where there is one."""
import json
import sys

# name -> (baseline, goal in microseconds or None, what it measures)
ROWS = {
    "BM_RequestRoundTrip": ("BM_Getppid", None, "one request into the driver and back"),
    "BM_RefreshTickAllChannelsReceiving": ("BM_Getppid2050", None, "tick, 8 inputs receiving (2050 requests)"),
    "BM_RefreshTickLoopedBackWithoutCapture": ("BM_Getppid2050", 250,
                                               "tick, 8 outputs cyclic looped back onto 8 inputs, capture off"),
    "BM_RefreshTickAllOutputsLoopedBack": ("BM_RefreshTickLoopedBackWithoutCapture", 250,
                                           "the same with the capture ring and label statistics"),
    "BM_RefreshTickCaptureCost": (None, None, "ticks with and without the capture, alternating in one run "
                                              "(goal: capture_ratio <= 1.2)"),
    "BM_RefreshTickWithInputGridRepaint": ("BM_RefreshTickAllChannelsReceiving", 3000,
                                           "tick with the repaint of the visible input grid"),
    "BM_InputGridRepaint": (None, 500, "repaint of the visible input grid (about 42 rows)"),
    "BM_InputGridPage": ("BM_PlainSnprintf", 1000, "texts of one page of the input grid (320 cells)"),
    "BM_AddressText": ("BM_PlainSnprintf", None, "256 address texts"),
    "BM_CodeHexText": ("BM_PlainSnprintf", None, "256 hex code texts"),
    "BM_CodeOctalText": ("BM_PlainSnprintf", None, "256 octal code texts"),
    "BM_CodeBinaryText": ("BM_PlainSnprintf", None, "256 binary code texts"),
    "BM_SsmText": ("BM_PlainSnprintf", None, "256 SSM texts"),
    "BM_DecimalText": ("BM_PlainSnprintf", None, "256 decimal texts"),
    "BM_BuildLabelFormats": ("BM_PlainTableCopy", 20, "label formats from full tables"),
    "BM_LoadFormatSettings": ("BM_PlainFileRead", None, "formats settings file, 256 records"),
    "BM_LoadParamFormats": ("BM_PlainFileRead", None, "parameter formats file, 256 records"),
    "BM_RestoreOutputArray": ("BM_PlainFileRead", None, "output array file, 256 words"),
    "BM_CompactFormats": ("BM_PlainTableCopy", None, "compaction of 256 decimal formats"),
    "BM_CompactParamFormats": ("BM_PlainTableCopy", None, "compaction of 256 parameter formats"),
    "BM_OutputGridTypedCharacter": (None, 50, "one typed character to the model's dataChanged"),
    "BM_OutputGridRepaint": (None, 500, "repaint of the output grid itself: its frame, scroll bar and corner title"),
    "BM_OutputGridCellsRepaint": (None, 500, "repaint of the visible output grid's rows, as the input grid is timed"),
    "BM_FormatListFirstPaint": (None, 30000, "decimal formats editor, 256 records, to first paint"),
    "BM_ParamFormatFirstPaint": (None, 30000, "parameter formats editor, 256 records, to first paint"),
    "BM_StartupToShownMainWindow": ("BM_StartupBareMainWindow", None, "start-up to the shown main window"),
    "BM_CaptureRecorderHighestRate": (None, None,
                                      "recording 8 x 2778 words/s for 3 s (goals: lost 0, writer under 2 % of a core)"),
    "BM_CaptureCsvExport": (None, 1_500_000, "CSV export of 1 M captured words"),
    "BM_WordLogLiveTick": (None, 1000, "word log: one tick of 8 inputs (2048 words) into the live log, 60 row texts"),
    "BM_WordLogWindowTick": (None, 1000, "word log window: the same tick's rows through its model, the grid "
                                         "following the end (paint_us: the repaint of the visible rows after it)"),
    "BM_WordLogFileOpen": (None, 50_000, "word log: a 10 M-entry recording opened, its first 60 rows shown"),
    "BM_WordLogFileJump/0": (None, 50_000, "word log: a jump to any row of the 10 M-entry recording, 60 rows shown"),
    "BM_WordLogFileJump/1": (None, 50_000, "the same with a filter keeping one label in 16"),
    "BM_WordLogFileScan/0": (None, None, "word log: the whole 10 M-entry recording read through (in the background)"),
    "BM_WordLogFileScan/1": (None, None, "the same, counting a filter's rows"),
    "BM_TrendPlotUpdate/0": (None, 1000, "trend plot update, 4 series of 3000 points shown at 900 px, the lines drawn into their layer"),
    "BM_TrendPlotUpdate/1": (None, None, "the same in a window so wide that each point has a pixel of its own"),
    "BM_TrendPlotUpdateAndRender/0": (None, 1000, "the trend plot update and the plot painted into an image, at 900 px"),
    "BM_TrendPlotUpdateAndRender/1": (None, None, "the trend plot update and the plot painted into an image, a pixel a point"),
    "BM_EncodeAltitude": (None, 0.05, "a value into a word: altitude, 17 bits and sign (sums that never round)"),
    "BM_EncodeWidestField": (None, 0.05, "a value into a word: bits 9..28 at a weight of 90 (sums that round)"),
    "BM_ReplayMillionEntryCapture": (None, None, "replay of a 1 M-entry capture at speed 1, 4096 ticks of 100 ms "
                                                 "(goals: rss_above_idle_MB <= 16, late_worst_ms <= 100)"),
    "BM_RefreshTickGeneratorCost": (None, None, "ticks with the generator on 8 x 32 rows (every word changing) and "
                                                "without it, alternating in one run (goal: extra_us <= 50)"),
    "BM_UiEventLatencySlowModule/300/1": (None, None, "main window, 8 inputs receiving from a module 300 us late on "
                                                      "every request, slow reads on the device thread: how long an "
                                                      "event posted from another thread waits for the UI thread, "
                                                      "over 10 s (goal: worst_ms <= 20)"),
    "BM_UiEventLatencySlowModule/300/0": (None, None, "the same with every tick whole on the UI thread, as before"),
    "BM_UiEventLatencySlowModule/0/1": (None, None, "the module on time, with the device thread (goal: worst_ms <= 20)"),
    "BM_UiEventLatencySlowModule/0/0": (None, None, "the module on time, every tick on the UI thread"),
}

UNITS = {"ns": 1e-3, "us": 1.0, "ms": 1e3, "s": 1e6}
# What every benchmark reports; anything else is a counter of its own, shown beside its time.
STANDARD_FIELDS = {"family_index", "per_family_instance_index", "repetitions", "repetition_index", "threads",
                   "iterations", "real_time", "cpu_time", "items_per_second", "bytes_per_second"}


def load(paths):
    """name -> (real time in us, counters); the median aggregate where there is one."""
    times = {}
    for path in paths:
        with open(path, encoding="utf-8") as f:
            data = json.load(f)
        for b in data["benchmarks"]:
            name = b["name"]
            base = b.get("run_name", name).split("/repeats")[0]
            if b.get("run_type") == "aggregate" and b.get("aggregate_name") != "median":
                continue
            us = b["real_time"] * UNITS[b.get("time_unit", "ns")]
            counters = {k: v for k, v in b.items() if k not in STANDARD_FIELDS and isinstance(v, (int, float))}
            if b.get("run_type") == "aggregate" or base not in times:
                times[base] = (us, counters)
        context = data.get("context", {})
    return times, context


def fmt(us):
    if us is None:
        return "-"
    if us >= 1000:
        return f"{us / 1000:.2f} ms"
    if us >= 1:
        return f"{us:.1f} us"
    return f"{us * 1000:.0f} ns"


def main():
    times, context = load(sys.argv[1:])
    print(f"host: {context.get('host_name', '?')}, {context.get('num_cpus', '?')} CPUs at "
          f"{context.get('mhz_per_cpu', '?')} MHz, date {context.get('date', '?')}")
    print()
    print("| benchmark | what | time | baseline | baseline time | ratio | goal |")
    print("|---|---|---|---|---|---|---|")
    shown = set()
    for name, (baseline, goal, what) in ROWS.items():
        # Benchmarks with arguments (BM_X/0, BM_X/1) each get a row.
        for key in sorted(k for k in times if k == name or k.startswith(name + "/")):
            us, counters = times[key]
            base_us = times.get(baseline, (None, {}))[0] if baseline else None
            ratio = f"{us / base_us:.2f}x" if base_us else "-"
            extra = "".join(f"; {k} {v:.0f}" if abs(v) >= 100 or v == int(v) else f"; {k} {v:.3g}"
                            for k, v in counters.items())
            verdict = "-" if goal is None else (f"<= {fmt(goal)} " + ("met" if us <= goal else "MISSED"))
            print(f"| {key} | {what}{extra} | {fmt(us)} | {baseline or '-'} | {fmt(base_us)} | {ratio} | {verdict} |")
            shown.add(key)
    others = [k for k in times if k not in shown and not any(k == b for b, _, _ in ROWS.values())]
    for key in sorted(others):
        print(f"| {key} | | {fmt(times[key][0])} | - | - | - | - |")


if __name__ == "__main__":
    main()
