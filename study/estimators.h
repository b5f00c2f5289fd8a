#pragma once
// The estimators of a mesh study, as small pure functions of the values on
// two or three consecutive meshes. Meshes run coarse to fine in every
// argument list; `r` is the refinement ratio h_coarse / h_fine = N_fine /
// N_coarse (> 1). Nothing here prints or stores: an estimate that is not
// defined (a zero difference, an order that does not exist) is no value,
// never a NaN or an infinity.
#include <optional>
#include <vector>

namespace kestrelfold::study {

// Observed order from the true errors of two meshes:
// ln(|E_coarse| / |E_fine|) / ln r. Nothing when either error is zero.
std::optional<double> observed_order(double E_coarse, double E_fine, double r);

// Apparent order from three values without the exact solution (Celik et al.,
// J. Fluids Eng. 130, 2008): with eps21 = phi2 - phi1 and eps32 = phi3 - phi2
// (1 the finest), p = (ln|eps32/eps21| + q(p)) / ln r21 where
// q(p) = ln((r21^p - s)/(r32^p - s)) and s = sign(eps32/eps21), solved by
// fixed-point iteration from q = 0. With r21 = r32, q = 0 and this is the
// closed form ln(|phi3 - phi2| / |phi2 - phi1|) / ln r. Nothing when a
// difference is zero or the iteration finds no order.
std::optional<double> apparent_order(double phi3, double phi2, double phi1, double r32, double r21);

// How three values approach their limit, from R = (phi1 - phi2)/(phi2 - phi3).
enum class Convergence { monotone, oscillatory, divergent, no_change };

// R; nothing when phi2 = phi3.
std::optional<double> convergence_ratio(double phi3, double phi2, double phi1);

// monotone for 0 < R < 1, oscillatory for -1 < R < 0, divergent for
// |R| >= 1 (phi2 = phi3 with phi1 different included), no change when
// phi1 = phi2.
Convergence convergence_type(double phi3, double phi2, double phi1);

// Richardson's extrapolation from two meshes with the order p:
// U = (phi1 - phi2)/(r^p - 1) estimates the true error of the fine value,
// and phi1 + U is the extrapolated value.
struct Richardson {
    double extrapolated;
    double U;
};
Richardson richardson(double phi2, double phi1, double r, double p);

// How well an error estimate knows the true error: U / E (1 for a perfect
// estimate, of the same sign as E). Nothing when E = 0.
std::optional<double> effectivity(double U, double E);

// Roache's grid convergence index on the fine mesh, in absolute form
// Fs |phi2 - phi1| / (r^p - 1) (T(1/2) and the slope can be near zero, so
// no division by phi1). With an apparent order in [0.5, 2.5] it is used with
// Fs = 1.25; otherwise, or without one, the formal order 2 with Fs = 3.
struct Gci {
    double value;
    double Fs;
    double p;
    bool observed_order;  // p is the apparent order, not the formal one
};
Gci gci(double phi2, double phi1, double r, std::optional<double> p_U);

// The middle of the values (the mean of the two middle ones for an even
// count): an order typical of a sequence, which one stray mesh does not
// move. Nothing for no values.
std::optional<double> median(std::vector<double> values);

// The value when it is a finite number; nothing otherwise.
std::optional<double> finite(double value);

}  // namespace kestrelfold::study
