#pragma once
// The computed study: one table per quantity of interest, one row per mesh,
// every estimate worked out once here. The CSV, the text tables and the plot
// script are renderings of this table and compute nothing of their own.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "numerics/binary128.h"
#include "study/error_split.h"
#include "study/estimators.h"
#include "study/power_law_fit.h"
#include "study/quantities.h"
#include "study/tableau.h"

namespace kestrelfold::study {

// What one run left: its mesh and, from its data file, h and the three
// numerical quantities (in the order of kQuantities); from its listing, the
// processing time (nothing where the field holds asterisks).
struct MeshValues {
    std::int32_t N;
    double h;
    std::array<double, 3> values;
    // The same quantities from kestrelfold-quad's run of the mesh, when it
    // has a complete one: the discrete solution's, to within binary128's
    // round-off.
    std::optional<std::array<Quad, 3>> reference;
    // A study of kestrelfold-quad itself: its values as written, of which
    // `values` are the doubles nearest.
    std::optional<std::array<Quad, 3>> quad_values;
    std::optional<double> tcpu;
};

struct MeshRow {
    std::int32_t N;
    double h;
    double value;
    double exact;
    double error;                    // exact - value
    std::optional<double> p_E;       // against the previous mesh
    bool sign_change;                // E changed sign from the previous mesh
    std::optional<double> p_U;       // apparent order, last three meshes
    std::optional<double> R;
    std::optional<Convergence> convergence;
    std::optional<double> extrapolated;  // Richardson, formal order 2
    std::optional<double> U;
    std::optional<double> effectivity;   // U / E
    std::optional<Gci> gci;
    std::optional<double> gci_percent;   // the GCI relative to |value|, where |value| >= kSmallestRelativeBase
    bool roundoff;
    std::optional<double> tcpu;          // the run's processing time, seconds
    std::optional<Quad> reference;   // kestrelfold-quad's value
    std::optional<ErrorSplit> split;  // the error in its two components, with a reference
};

// The error split over the whole sequence: a law for each component, where
// the laws cross, and what the split says of the smallest error and of the
// meshes marked for round-off from the double results alone.
struct SplitAnalysis {
    std::optional<PowerLaw> discretisation;  // |E_disc| = C h^p, over every mesh with a reference
    std::optional<PowerLaw> roundoff;        // |E_round| = K N^q, over the meshes where it exceeds the floor
    std::optional<double> crossing;          // N* where the laws cross
    std::optional<double> crossing_error;    // each law's value there
    bool optimal_is_cancellation = false;    // the smallest |E| is its components' cancellation
    std::optional<std::size_t> first_significant;  // first row where round-off exceeds a tenth
};

// Round-off below this is the floor of the printed digits of a value of
// order 1 in a listing: the law of round-off is fitted above it.
inline constexpr double kRoundoffFloor = 1e-15;

// Below this |value| a relative GCI would only magnify a value that is zero
// but for round-off (T(1/2) or the slope of some source terms).
inline constexpr double kSmallestRelativeBase = 1e-12;

// What the sequence says as a whole: the order the errors fall with before
// round-off, how the finest meshes before it converge, and where round-off
// took over. An unmarked mesh where the error changed sign ends the meshes
// it judges too: an order across zero compares nothing, and the error
// passing zero is cancellation, not convergence.
struct Verdict {
    std::optional<double> order;                    // median p_E over the meshes judged
    std::size_t orders = 0;                         // the number of p_E it is the median of
    std::optional<Convergence> convergence;         // on the finest meshes judged with a type
    bool asymptotic = false;                        // order within kAsymptoticTolerance of the formal order
    std::optional<std::size_t> first_roundoff;      // first marked row
    std::optional<std::size_t> first_sign_change;   // first unmarked row where E changed sign
    std::optional<std::size_t> last_judged;         // finest row of the meshes judged
};

inline constexpr double kAsymptoticTolerance = 0.1;

struct QuantityStudy {
    Quantity quantity;
    std::vector<MeshRow> rows;  // coarse to fine
    bool exact;                 // exact for this source term: errors at round-off level only
    std::size_t optimal;        // row with the smallest |E|
    // Whether that smallest |E| is a cancellation (E changed sign on its
    // mesh), not accuracy; the optimal mesh is then the row of the smallest
    // |E| among the meshes where E kept its sign.
    bool smallest_is_cancellation;
    std::size_t optimal_without_cancellation;
    Verdict verdict;
    std::vector<TableauLevel> tableau;
    std::optional<SplitAnalysis> split;  // when two or more meshes have a reference
};

// A mesh of the study without a complete run, and why.
struct MissingMesh {
    std::int32_t N;
    std::string problem;             // in English, for standard error
    std::string problem_portuguese;  // for the text report
};

struct StudyTable {
    std::int32_t fonte;
    std::vector<QuantityStudy> quantities;  // in the order of kQuantities
    std::vector<MissingMesh> missing;       // left out of every estimate
    // Meshes whose kestrelfold-quad run is missing or incomplete: their
    // double results are reported all the same, without the split.
    std::vector<MissingMesh> missing_references;
};

// The study of the meshes given (coarse to fine, each N once), against the
// exact values of the fonte as the program forms them.
// Meshes with quad_values are studied in binary128: their errors are
// formed from the binary128 exact values and their extrapolations go deeper.
StudyTable compute_study(std::int32_t fonte, std::span<const MeshValues> meshes,
                         std::vector<MissingMesh> missing = {});

// The exact value of a quantity on the mesh of N elements: T at node N div 2,
// the mean and the slope as the program stores them; in binary128 as
// kestrelfold-quad forms and stores them.
double exact_value(Quantity q, std::int32_t fonte, std::int32_t N);
Quad exact_quad_value(Quantity q, std::int32_t fonte, std::int32_t N);


}  // namespace kestrelfold::study
