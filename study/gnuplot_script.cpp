#include "study/gnuplot_script.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "study/number_text.h"
#include "study/run_input.h"
#include "study/study_layout.h"

namespace kestrelfold::study {
namespace {

constexpr int kDigits = 17;

// A number gnuplot reads, or its marker of missing data.
std::string datum(std::optional<double> value) {
    return value ? scientific(*value, kDigits).value_or("?") : "?";
}

std::optional<double> positive(double value) {
    if (!(value > 0) || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::string block_name(const QuantityStudy& study) {
    std::string name(1, '$');
    name += csv_name(study.quantity);
    return name;
}

// Columns: 1 h, 2 |E|, 3 p_E, 4 p_U, 5 roundoff.
std::string data_block(const QuantityStudy& study) {
    std::string text = block_name(study) + " << EOD\n";
    for (const MeshRow& row : study.rows) {
        text += datum(row.h) + " " + datum(positive(std::fabs(row.error))) + " " + datum(row.p_E) + " " +
                datum(row.p_U) + " " + (row.roundoff ? "1" : "0") + "\n";
    }
    return text + "EOD\n";
}

using RowTest = std::function<bool(const MeshRow&)>;

bool any_row(const QuantityStudy& study, const RowTest& test) {
    for (const MeshRow& row : study.rows) {
        if (test(row)) return true;
    }
    return false;
}

struct Curve {
    RowTest shown;       // a row this curve draws a point for
    std::string using_;  // gnuplot's `using` for it
    std::string style;
    bool titled;         // the curve names its quantity in the key
};

// The plot command of the curves that have a point to draw (gnuplot warns
// about a curve without one), each quantity in a color of its own, then
// `extra`: the key's entries for the styles and the reference lines.
std::string plot_command(const StudyTable& table, const std::vector<Curve>& curves, const std::string& extra) {
    std::string command;
    int color = 0;
    for (const QuantityStudy& study : table.quantities) {
        ++color;
        for (const Curve& curve : curves) {
            if (!any_row(study, curve.shown)) continue;
            command += (command.empty() ? "plot " : ", \\\n     ") + block_name(study) + " using " + curve.using_ +
                       " " + curve.style + " lc " + std::to_string(color) +
                       (curve.titled ? " title '" + std::string(label(study.quantity)) + "'" : " notitle");
        }
    }
    return command + (command.empty() ? "plot " : ", \\\n     ") + extra + "\n";
}

// The key's entry for the open symbols of marked meshes, when there are any.
std::string roundoff_key(const StudyTable& table) {
    for (const QuantityStudy& study : table.quantities) {
        if (any_row(study, [](const MeshRow& r) { return r.roundoff; })) {
            return "keyentry with points pt 6 lc 'gray40' title 'arredondamento', \\\n     ";
        }
    }
    return "";
}

// The reference line of slope 2 through the coarsest unmarked error of the
// first quantity that has one.
std::string reference_line(const StudyTable& table) {
    double c = 1;
    for (const QuantityStudy& study : table.quantities) {
        for (const MeshRow& row : study.rows) {
            if (!row.roundoff && positive(std::fabs(row.error))) {
                c = std::fabs(row.error) / (row.h * row.h);
                return "ref(h) = " + datum(c) + " * h**2\n";
            }
        }
    }
    return "ref(h) = " + datum(c) + " * h**2\n";
}

// Axis ranges from the data, a factor `margin` beyond it on log axes: with
// all values alike gnuplot's own range would be empty and it would warn.
struct Range {
    double low = 0;
    double high = 0;
};

std::string log_range(const char* axis, std::optional<Range> range, double margin, Range fallback) {
    const Range r = range ? *range : fallback;
    return std::string("set ") + axis + "range [" + datum(r.low / margin) + ":" + datum(r.high * margin) + "]\n";
}

std::optional<Range> range_of(const StudyTable& table, const std::function<std::optional<double>(const MeshRow&)>& value) {
    std::optional<Range> range;
    for (const QuantityStudy& study : table.quantities) {
        for (const MeshRow& row : study.rows) {
            const std::optional<double> v = value(row);
            if (!v) continue;
            if (!range) range = Range{*v, *v};
            range->low = std::min(range->low, *v);
            range->high = std::max(range->high, *v);
        }
    }
    return range;
}

std::string h_range(const StudyTable& table) {
    return log_range("x", range_of(table, [](const MeshRow& r) { return positive(r.h); }), 1.5, Range{1e-3, 1});
}

// The orders between 0 and 4 at least, wider for the values shown, but
// never beyond -2 and 8: orders of round-off noise can be anything.
std::string order_range(const StudyTable& table) {
    const auto low = range_of(table, [](const MeshRow& r) { return r.p_U ? std::min(*r.p_U, r.p_E.value_or(*r.p_U)) : r.p_E; });
    const auto high = range_of(table, [](const MeshRow& r) { return r.p_U ? std::max(*r.p_U, r.p_E.value_or(*r.p_U)) : r.p_E; });
    const double bottom = std::max(-2.0, std::min(0.0, low ? std::floor(low->low) : 0.0));
    const double top = std::min(8.0, std::max(4.0, high ? std::ceil(high->high) : 4.0));
    return "set yrange [" + datum(bottom) + ":" + datum(top) + "]\n";
}

std::string error_plot(const StudyTable& table) {
    const std::string error_range =
        log_range("y", range_of(table, [](const MeshRow& r) { return positive(std::fabs(r.error)); }), 10,
                  Range{1e-17, 1e-15});
    const auto unmarked_error = [](const MeshRow& r) { return !r.roundoff && positive(std::fabs(r.error)); };
    const auto marked_error = [](const MeshRow& r) { return r.roundoff && positive(std::fabs(r.error)); };
    return "set output '" + std::string(kErrorPlot) + "'\n"
           "set logscale xy\n"
           "set format xy '10^{%L}'\n"
           "set xlabel 'h = 1/N'\n"
           "set ylabel '|erro| = |analítico - numérico|'\n"
           "set key below horizontal\n" + h_range(table) + error_range +
           "set title 'Erro verdadeiro contra h, fonte " + std::to_string(table.fonte) + ", S(x) = " +
           std::string(source_term(table.fonte)) + "'\n" + reference_line(table) +
           plot_command(table,
                        {{unmarked_error, "1:($5 == 0 ? $2 : NaN)", "with linespoints pt 7", true},
                         {marked_error, "1:($5 == 1 ? $2 : NaN)", "with points pt 6", false}},
                        roundoff_key(table) + "ref(x) with lines dt 2 lc 'black' title 'inclinação 2'");
}

std::string order_plot(const StudyTable& table) {
    const auto unmarked_p_E = [](const MeshRow& r) { return !r.roundoff && r.p_E.has_value(); };
    const auto marked_p_E = [](const MeshRow& r) { return r.roundoff && r.p_E.has_value(); };
    const auto has_p_U = [](const MeshRow& r) { return r.p_U.has_value(); };
    return "set output '" + std::string(kOrderPlot) + "'\n"
           "unset logscale\n"
           "set logscale x\n"
           "set format y '%g'\n"
           "set ylabel 'ordem'\n" +
           order_range(table) + h_range(table) +
           "set title 'Ordem observada p_E (cheia) e aparente p_U (pontilhada), fonte " +
           std::to_string(table.fonte) + "'\n" +
           plot_command(table,
                        {{unmarked_p_E, "1:($5 == 0 ? $3 : NaN)", "with linespoints pt 7", true},
                         {marked_p_E, "1:($5 == 1 ? $3 : NaN)", "with points pt 6", false},
                         {has_p_U, "1:4", "with linespoints dt 3 pt 4", false}},
                        roundoff_key(table) + std::to_string(kFormalOrder) +
                            " with lines dt 2 lc 'black' title 'ordem formal " + std::to_string(kFormalOrder) + "'");
}

bool has_split(const QuantityStudy& study) { return study.split.has_value(); }

// Columns: 1 h, 2 |E_disc|, 3 |E_round|.
std::string split_block(const QuantityStudy& study) {
    std::string text = block_name(study) + "_split << EOD\n";
    for (const MeshRow& row : study.rows) {
        if (!row.split) continue;
        text += datum(row.h) + " " + datum(positive(std::fabs(row.split->discretisation))) + " " +
                datum(positive(std::fabs(row.split->roundoff))) + "\n";
    }
    return text + "EOD\n";
}

// A fitted law as a gnuplot function of h: C * h**p, or K * (1/h)**q.
std::string law_function(const std::string& name, const PowerLaw& law, bool of_N) {
    return name + "(h) = " + datum(law.coefficient) + " * " + (of_N ? "(1/h)" : "h") + "**" + datum(law.exponent) +
           "\n";
}

// |E_disc| (filled) and |E_round| (open) of each quantity against h, with
// the laws fitted to them: the two legs of the V that the total error draws.
std::string roundoff_plot(const StudyTable& table) {
    std::string functions;
    std::string command;
    int color = 0;
    for (const QuantityStudy& study : table.quantities) {
        ++color;
        if (!has_split(study)) continue;
        const std::string name = std::string(csv_name(study.quantity));
        const std::string block = block_name(study) + "_split";
        const std::string lc = " lc " + std::to_string(color);
        const std::string what(label(study.quantity));
        auto add = [&](const std::string& curve) { command += (command.empty() ? "plot " : ", \\\n     ") + curve; };
        add(block + " using 1:2 with points pt 7" + lc + " title '" + what + "'");
        add(block + " using 1:3 with points pt 6" + lc + " notitle");
        if (const auto& law = study.split->discretisation) {
            functions += law_function("disc_" + name, *law, false);
            add("disc_" + name + "(x) with lines dt 1" + lc + " notitle");
        }
        if (const auto& law = study.split->roundoff) {
            functions += law_function("arr_" + name, *law, true);
            add("arr_" + name + "(x) with lines dt 2" + lc + " notitle");
        }
    }
    std::optional<Range> components;
    for (const QuantityStudy& study : table.quantities) {
        for (const MeshRow& row : study.rows) {
            if (!row.split) continue;
            for (const double E : {row.split->discretisation, row.split->roundoff}) {
                const std::optional<double> v = positive(std::fabs(E));
                if (!v) continue;
                if (!components) components = Range{*v, *v};
                components->low = std::min(components->low, *v);
                components->high = std::max(components->high, *v);
            }
        }
    }
    const std::string y_range = log_range("y", components, 10, Range{1e-20, 1e-15});
    return "set output '" + std::string(kRoundoffPlot) + "'\n"
           "set logscale xy\n"
           "set format xy '10^{%L}'\n"
           "set xlabel 'h = 1/N'\n"
           "set ylabel '|componente do erro|'\n"
           "set key below horizontal\n" + h_range(table) + y_range +
           "set title 'Discretização (cheia) e arredondamento (vazia) contra h, fonte " + std::to_string(table.fonte) +
           "'\n" + functions + command +
           ", \\\n     keyentry with points pt 7 lc 'gray40' title 'discretização'"
           ", \\\n     keyentry with points pt 6 lc 'gray40' title 'arredondamento'"
           ", \\\n     keyentry with lines lc 'gray40' title 'leis ajustadas'\n";
}

}  // namespace

bool has_roundoff_plot(const StudyTable& table) {
    for (const QuantityStudy& study : table.quantities) {
        if (has_split(study)) return true;
    }
    return false;
}

std::string study_gnuplot_script(const StudyTable& table) {
    std::string text =
        "# The plots of a Kestrelfold mesh study, drawn into erro.png and ordem.png\n"
        "# in the current folder: gnuplot estudo.gnu. Data columns: h, |E|, p_E,\n"
        "# p_U, round-off mark (1: the error stopped falling); ? is no value.\n"
        "set encoding utf8\n"
        "if (strstrt(GPVAL_TERMINALS, 'pngcairo') > 0) {\n"
        "    set terminal pngcairo size 800,600\n"
        "} else {\n"
        "    set terminal png size 800,600\n"
        "}\n"
        "set datafile missing '?'\n";
    for (const QuantityStudy& study : table.quantities) text += data_block(study);
    for (const QuantityStudy& study : table.quantities) {
        if (has_split(study)) text += split_block(study);
    }
    text += error_plot(table) + order_plot(table);
    if (has_roundoff_plot(table)) text += roundoff_plot(table);
    return text + "set output\n";
}

}  // namespace kestrelfold::study
