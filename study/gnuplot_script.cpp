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
constexpr std::string_view kIndent = "    ";

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

bool any_row(const StudyTable& table, const RowTest& test) {
    for (const QuantityStudy& study : table.quantities) {
        if (std::any_of(study.rows.begin(), study.rows.end(), test)) return true;
    }
    return false;
}

struct Curve {
    RowTest shown;       // a row this curve draws a point for
    std::string using_;  // gnuplot's `using` for it
    std::string style;
};

// The plot command of the curves that have a point to draw (gnuplot warns
// about a curve without one), each quantity in a color of its own and named
// in the key by the first of its curves drawn, whichever that is (all the
// points of an exact quantity are marked), then `extra`: the key's entries
// for the styles and the reference lines.
std::string plot_command(const StudyTable& table, const std::vector<Curve>& curves, const std::string& extra) {
    const std::string next = ", \\\n" + std::string(kIndent) + "     ";
    std::string command;
    int color = 0;
    for (const QuantityStudy& study : table.quantities) {
        ++color;
        bool named = false;
        for (const Curve& curve : curves) {
            if (std::none_of(study.rows.begin(), study.rows.end(), curve.shown)) continue;
            command += (command.empty() ? std::string(kIndent) + "plot " : next) + block_name(study) + " using " +
                       curve.using_ + " " + curve.style + " lc " + std::to_string(color) +
                       (named ? " notitle" : " title '" + std::string(label(study.quantity)) + "'");
            named = true;
        }
    }
    return command + (command.empty() ? std::string(kIndent) + "plot " : next) + extra + "\n";
}

// A key entry, and the separator after it.
std::string key_entry(const std::string& style, const std::string& title) {
    return "keyentry with " + style + " lc 'gray40' title '" + title + "', \\\n" + std::string(kIndent) + "     ";
}

// The key's entry for the open symbols of marked meshes, when there are any.
std::string roundoff_key(const StudyTable& table) {
    return any_row(table, [](const MeshRow& r) { return r.roundoff; }) ? key_entry("points pt 6", "arredondamento")
                                                                        : "";
}

// The reference line of order 2 through the coarsest unmarked error of the
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
    return std::string(kIndent) + "set " + axis + "range [" + datum(r.low / margin) + ":" + datum(r.high * margin) +
           "]\n";
}

using RowValues = std::function<std::vector<double>(const MeshRow&)>;

std::optional<Range> range_of(const StudyTable& table, const RowValues& values) {
    std::optional<Range> range;
    for (const QuantityStudy& study : table.quantities) {
        for (const MeshRow& row : study.rows) {
            for (double v : values(row)) {
                if (!range) range = Range{v, v};
                range->low = std::min(range->low, v);
                range->high = std::max(range->high, v);
            }
        }
    }
    return range;
}

std::string h_range(const StudyTable& table) {
    return log_range(
        "x", range_of(table, [](const MeshRow& r) { return std::vector<double>{r.h}; }), 1.5, Range{1e-3, 1});
}

// The orders a plot of orders draws: p_E and p_U.
std::vector<double> orders_of(const MeshRow& row) {
    std::vector<double> orders;
    for (const std::optional<double>& order : {row.p_E, row.p_U}) {
        if (order) orders.push_back(*order);
    }
    return orders;
}

// The orders between 0 and 4 at least, wider for the values shown, but
// never beyond -2 and 8: orders of round-off noise can be anything, and
// those beyond are drawn at the edge and counted.
Range order_range(const StudyTable& table) {
    const std::optional<Range> orders = range_of(table, orders_of);
    const double bottom = std::max(-2.0, std::min(0.0, orders ? std::floor(orders->low) : 0.0));
    const double top = std::min(8.0, std::max(4.0, orders ? std::ceil(orders->high) : 4.0));
    return {bottom, top};
}

std::size_t orders_outside(const StudyTable& table, Range range) {
    std::size_t count = 0;
    for (const QuantityStudy& study : table.quantities) {
        for (const MeshRow& row : study.rows) {
            for (double order : orders_of(row)) count += order < range.low || order > range.high;
        }
    }
    return count;
}

// What both plots share, set once per kind of picture.
std::string common_settings() {
    return std::string(kIndent) + "set xlabel 'h = 1/N'\n" + std::string(kIndent) +
           "set key outside right top vertical Left reverse\n";
}

std::string error_plot(const StudyTable& table) {
    const std::string error_range =
        log_range("y", range_of(table, [](const MeshRow& r) {
                      const std::optional<double> E = positive(std::fabs(r.error));
                      return E ? std::vector<double>{*E} : std::vector<double>{};
                  }),
                  10, Range{1e-17, 1e-15});
    const auto unmarked_error = [](const MeshRow& r) { return !r.roundoff && positive(std::fabs(r.error)); };
    const auto marked_error = [](const MeshRow& r) { return r.roundoff && positive(std::fabs(r.error)); };
    const std::string in(kIndent);
    return in + "set output '" + std::string(kErrorPlot) + ".'.kind\n" + in + "set logscale xy\n" + in +
           "set format xy '10^{%L}'\n" + in + "set ylabel '|erro| = |analítico - numérico|'\n" + h_range(table) +
           error_range + in + "set title 'Erro verdadeiro contra h, fonte " + std::to_string(table.fonte) +
           ", S(x) = " + std::string(source_term(table.fonte)) + "'\n" +
           plot_command(table,
                        {{unmarked_error, "1:($5 == 0 ? $2 : NaN)", "with linespoints pt 7"},
                         {marked_error, "1:($5 == 1 ? $2 : NaN)", "with points pt 6"}},
                        roundoff_key(table) + "ref(x) with lines dt 2 lc 'black' title 'ordem " +
                            std::to_string(kFormalOrder) + "'");
}

// Gnuplot's functions of the order plot's range: its bounds, whether an
// order lies inside, and where one outside is drawn (at the edge, a solid
// triangle pointing the way it lies).
std::string order_range_functions(Range range) {
    return "ymin = " + datum(range.low) + "\nymax = " + datum(range.high) +
           "\ninside(p) = p >= ymin && p <= ymax\n"
           "edge(p) = p > ymax ? ymax : ymin\n";
}

std::string order_plot(const StudyTable& table, Range range) {
    const auto unmarked_p_E = [](const MeshRow& r) { return !r.roundoff && r.p_E.has_value(); };
    const auto marked_p_E = [](const MeshRow& r) { return r.roundoff && r.p_E.has_value(); };
    const auto has_p_U = [](const MeshRow& r) { return r.p_U.has_value(); };
    const auto outside = [range](const MeshRow& r) {
        const std::vector<double> orders = orders_of(r);
        return std::any_of(orders.begin(), orders.end(), [range](double p) { return p < range.low || p > range.high; });
    };
    const std::size_t beyond = orders_outside(table, range);
    std::string keys = roundoff_key(table);
    if (any_row(table, has_p_U)) keys += key_entry("linespoints dt 3 pt 4", "p_U (aparente)");
    if (beyond > 0) keys += key_entry("points pt 11", "fora da faixa: " + std::to_string(beyond) + ", na borda");
    const std::string in(kIndent);
    return in + "set output '" + std::string(kOrderPlot) + ".'.kind\n" + in + "unset logscale\n" + in +
           "set logscale x\n" + in + "set format x '10^{%L}'\n" + in + "set format y '%g'\n" + in +
           "set ylabel 'ordem'\n" + in + "set yrange [ymin:ymax]\n" + h_range(table) + in +
           "set title 'Ordem observada p_E (cheia) e aparente p_U (pontilhada), fonte " +
           std::to_string(table.fonte) + "'\n" +
           plot_command(table,
                        {{unmarked_p_E, "1:($5 == 0 && inside($3) ? $3 : NaN)", "with linespoints pt 7"},
                         {marked_p_E, "1:($5 == 1 && inside($3) ? $3 : NaN)", "with points pt 6"},
                         {has_p_U, "1:(inside($4) ? $4 : NaN)", "with linespoints dt 3 pt 4"},
                         {outside, "1:(!inside($3) ? edge($3) : NaN):($3 > ymax ? 9 : 11)", "with points pt variable"},
                         {outside, "1:(!inside($4) ? edge($4) : NaN):($4 > ymax ? 9 : 11)", "with points pt variable"}},
                        keys + std::to_string(kFormalOrder) + " with lines dt 2 lc 'black' title 'ordem formal " +
                            std::to_string(kFormalOrder) + "'");
}

// The terminal of each kind of picture; a gnuplot without cairo draws its
// PNG with the plain png terminal and skips the PDF.
std::string terminal_choice() {
    return "    if (kind eq 'pdf') {\n"
           "        if (strstrt(GPVAL_TERMINALS, 'pdfcairo') == 0) { print 'no pdfcairo terminal: no PDF'; continue }\n"
           "        set terminal pdfcairo size 16cm,10cm font 'Sans,9'\n"
           "        set pointsize 0.5\n"
           "    } else {\n"
           "        if (strstrt(GPVAL_TERMINALS, 'pngcairo') > 0) { set terminal pngcairo size 900,600 } "
           "else { set terminal png size 900,600 }\n"
           "        set pointsize 1\n"
           "    }\n";
}

std::string kinds_line() {
    std::string kinds;
    for (std::string_view kind : kPictureKinds) kinds += (kinds.empty() ? "" : " ") + std::string(kind);
    return "kinds = '" + kinds + "'\n";
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

// The laws of every quantity with a split, as functions, defined once
// before the pictures are drawn.
std::string law_functions(const StudyTable& table) {
    std::string functions;
    for (const QuantityStudy& study : table.quantities) {
        if (!has_split(study)) continue;
        const std::string name(csv_name(study.quantity));
        if (const auto& law = study.split->discretisation) functions += law_function("disc_" + name, *law, false);
        if (const auto& law = study.split->roundoff) functions += law_function("arr_" + name, *law, true);
    }
    return functions;
}

// |E_disc| (filled) and |E_round| (open) of each quantity against h, with
// the laws fitted to them: the two legs of the V that the total error draws.
std::string roundoff_plot(const StudyTable& table) {
    const std::string next = ", \\\n" + std::string(kIndent) + "     ";
    std::string command;
    int color = 0;
    for (const QuantityStudy& study : table.quantities) {
        ++color;
        if (!has_split(study)) continue;
        const std::string name(csv_name(study.quantity));
        const std::string block = block_name(study) + "_split";
        const std::string lc = " lc " + std::to_string(color);
        auto add = [&](const std::string& curve) {
            command += (command.empty() ? std::string(kIndent) + "plot " : next) + curve;
        };
        add(block + " using 1:2 with points pt 7" + lc + " title '" + std::string(label(study.quantity)) + "'");
        add(block + " using 1:3 with points pt 6" + lc + " notitle");
        if (study.split->discretisation) add("disc_" + name + "(x) with lines dt 1" + lc + " notitle");
        if (study.split->roundoff) add("arr_" + name + "(x) with lines dt 2" + lc + " notitle");
    }
    const std::string in(kIndent);
    const std::optional<Range> components = range_of(table, [](const MeshRow& r) {
        std::vector<double> values;
        if (!r.split) return values;
        for (const double E : {r.split->discretisation, r.split->roundoff}) {
            if (const std::optional<double> v = positive(std::fabs(E))) values.push_back(*v);
        }
        return values;
    });
    return in + "set output '" + std::string(kRoundoffPlot) + ".'.kind\n" + in + "set logscale xy\n" + in +
           "set format xy '10^{%L}'\n" + in + "set ylabel '|componente do erro|'\n" + h_range(table) +
           log_range("y", components, 10, Range{1e-20, 1e-15}) + in +
           "set title 'Discretização (cheia) e arredondamento (vazia) contra h, fonte " + std::to_string(table.fonte) +
           "'\n" + command + next + key_entry("points pt 7", "discretização") + key_entry("points pt 6", "arredondamento") +
           "keyentry with lines lc 'gray40' title 'leis ajustadas'\n";
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
        "# The plots of a Kestrelfold mesh study, drawn into erro.png, ordem.png,\n"
        "# erro.pdf and ordem.pdf in the current folder: gnuplot estudo.gnu.\n"
        "# Data columns: h, |E|, p_E, p_U, round-off mark (1: the error stopped\n"
        "# falling); ? is no value.\n"
        "set encoding utf8\n"
        "set datafile missing '?'\n";
    for (const QuantityStudy& study : table.quantities) text += data_block(study);
    for (const QuantityStudy& study : table.quantities) {
        if (has_split(study)) text += split_block(study);
    }
    const Range orders = order_range(table);
    text += reference_line(table) + order_range_functions(orders) + law_functions(table);
    text += "# The kinds of picture drawn, each plot in each: png, pdf or both.\n" + kinds_line();
    return text + "do for [kind in kinds] {\n" + terminal_choice() + common_settings() + error_plot(table) +
           order_plot(table, orders) + (has_roundoff_plot(table) ? roundoff_plot(table) : std::string()) +
           "    set output\n}\n";
}

}  // namespace kestrelfold::study
