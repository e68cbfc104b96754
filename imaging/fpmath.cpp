// Correctly rounded sin, cos and atan in double. A fast evaluation in
// double-double arithmetic (exact error terms from Dekker products and
// two-sums) comes with a bound on its error; when every value within the
// bound rounds to the same double, that double is the answer. Otherwise
// (about one argument in a few thousand) the multiple-precision evaluation
// of fpmath_wide decides. No fused multiply-add, no extended intermediates:
// every build gives the same bits.
#include "imaging/fpmath.h"

#include <cstdint>
#include <cstring>

#include "imaging/fpmath_wide.h"

namespace {

using fpm::detail::tlWideFunction;

// π/2 in four parts. The first three have 33 significant bits, so n·part is
// exact for n <= 2^20; the fourth is the rest rounded.
constexpr double kPio2Part1 = 0x1.921fb544p+0;
constexpr double kPio2Part2 = 0x1.0b4611a6p-34;
constexpr double kPio2Part3 = 0x1.3198a2ep-69;
constexpr double kPio2Part4 = 0x1.b839a252049c1p-104;
constexpr double kPio2Hi = 0x1.921fb54442d18p+0;  // π/2 = hi + lo to 107 bits
constexpr double kPio2Lo = 0x1.1a62633145c07p-54;
constexpr double kInvPio2 = 0x1.45f306dc9c883p-1;       // 2/π rounded
constexpr double kRoundToInteger = 0x1.8p52;            // (v + this) − this = v to nearest, |v| < 2^51
constexpr double kMediumLimit = 0x1.921fb54442d18p+20;  // 2^20·π/2

// sin(k/256) and cos(k/256) for k = 0 .. 202, each as hi + lo: hi the
// nearest double, lo the nearest double to the rest (rounded from 200-digit
// values).
struct tlSinCosEntry {
    double sinHi, sinLo, cosHi, cosLo;
};
constexpr tlSinCosEntry kSinCosTable[203] = {
    {0x0.0p+0, 0x0.0p+0, 0x1.0000000000000p+0, 0x0.0p+0},
    {0x1.ffffaaaaaeeefp-9, -0x1.2b12b0ce9b237p-65, 0x1.ffff000015555p-1, 0x1.27d27df7df7bbp-55},
    {0x1.fffeaaaaeeeefp-8, -0x1.e45e2ec67b77cp-62, 0x1.fffc000155552p-1, 0x1.f4a01a0196daep-55},
    {0x1.7ffdc00103330p-7, -0x1.15efa2be503dbp-61, 0x1.fff70006bffe0p-1, -0x1.9984c57e6cfb8p-55},
    {0x1.fffaaaaeeeed5p-7, -0x1.2ab639a9f0776p-63, 0x1.fff000155549fp-1, 0x1.28a28a03a5ef3p-55},
    {0x1.3ffacab12d517p-6, 0x1.519b3218acccfp-60, 0x1.ffe700341529fp-1, -0x1.b3bc25e3e4cb3p-57},
    {0x1.7ff7001033255p-6, 0x1.efe2b51527336p-64, 0x1.ffdc006bff7e6p-1, 0x1.ae6dae86977bdp-55},
    {0x1.bff1b57858e83p-6, 0x1.df20c232a4f03p-60, 0x1.ffcf00c8140e9p-1, -0x1.c3e3e857e2d30p-55},
    {0x1.ffeaaaeeee86fp-6, -0x1.cd406fb224ae2p-60, 0x1.ffc00155527d3p-1, -0x1.3b54492d89b5bp-55},
    {0x1.1ff0d03d81efcp-5, 0x1.b74e4aa1f4c7fp-59, 0x1.ffaf0222ba3bdp-1, -0x1.426013ff0feb7p-57},
    {0x1.3feb2b12d45d5p-5, 0x1.4ec54203d1c11p-60, 0x1.ff9c03414a7bap-1, 0x1.991f4be6c59bfp-57},
    {0x1.5fe445fd1660fp-5, 0x1.d7a6e37a23793p-59, 0x1.ff8704c4021c8p-1, -0x1.d80c59264b631p-57},
    {0x1.7fdc01032fba9p-5, -0x1.599bdf46e997ap-59, 0x1.ff7006bfdf99fp-1, -0x1.8b3b560648d5fp-56},
    {0x1.9fd23c2d680dfp-5, -0x1.70b1a2ba5f590p-60, 0x1.ff57094be0f62p-1, 0x1.780a6d6b9aac9p-55},
    {0x1.bfc6d78586dacp-5, 0x1.8e4fd03dbf236p-62, 0x1.ff3c0c8103a31p-1, 0x1.4856dbddc0e66p-56},
    {0x1.dfb9b316f372ap-5, -0x1.b3adb2cd8fe77p-61, 0x1.ff1f107a44695p-1, 0x1.2552d1d5613d6p-58},
    {0x1.ffaaaeeed4edbp-5, -0x1.2d16d32684b69p-59, 0x1.ff0015549f4d3p-1, 0x1.328387b99426fp-55},
    {0x1.0fccd58e190ecp-4, -0x1.ef54e5b79b73cp-58, 0x1.fedf1b2f0f71dp-1, -0x1.358030423989ep-58},
    {0x1.1fc343d808befp-4, -0x1.f3d32e6f3be4fp-58, 0x1.febc222a8ef9fp-1, 0x1.7934934f54c77p-58},
    {0x1.2fb8925ecc920p-4, -0x1.1aceeb6944bb7p-60, 0x1.fe972a6a16e73p-1, -0x1.9b4127ab3d548p-58},
    {0x1.3facb12d1755bp-4, -0x1.921915299468bp-58, 0x1.fe7034129ef6fp-1, -0x1.cbf4337c96f97p-57},
    {0x1.4f9f904ecb8ffp-4, 0x1.6fdd8bf8cda76p-58, 0x1.fe473f4b1d7d6p-1, 0x1.a001dd2227ed4p-55},
    {0x1.5f911fd10b737p-4, -0x1.0184f02be9102p-58, 0x1.fe1c4c3c873ebp-1, -0x1.5a9c9057c4a02p-60},
    {0x1.6f814fc248d1fp-4, -0x1.1e7a14e279b6ap-59, 0x1.fdef5b11cf45dp-1, -0x1.e833a08634830p-56},
    {0x1.7f701032550e4p-4, 0x1.afc2d1800501ap-60, 0x1.fdc06bf7e6b9bp-1, 0x1.31902b535f8dbp-55},
    {0x1.8f5d5132710c4p-4, 0x1.ae29046de7c88p-61, 0x1.fd8f7f1dbcb07p-1, -0x1.c752ecfaa985bp-55},
    {0x1.9f4902d55d1f9p-4, 0x1.2696d7eac1dc1p-58, 0x1.fd5c94b43e000p-1, -0x1.2e768cb4f92f9p-57},
    {0x1.af33152f68f8fp-4, 0x1.3f7698bdd23f1p-58, 0x1.fd27acee550dbp-1, 0x1.c3f64be936b41p-55},
    {0x1.bf1b78568391dp-4, 0x1.e91841dea4cc8p-58, 0x1.fcf0c800e99b1p-1, 0x1.ea3d786d186acp-57},
    {0x1.cf021c624b168p-4, -0x1.f6aedf73fb13fp-62, 0x1.fcb7e622e090ep-1, 0x1.efee620ded043p-55},
    {0x1.dee6f16c1cce6p-4, -0x1.50f8e2fb71673p-59, 0x1.fc7d078d1bc88p-1, 0x1.075d2447db685p-55},
    {0x1.eec9e78f2502bp-4, 0x1.3535175887f66p-60, 0x1.fc402c7a79d2cp-1, 0x1.f515d61e3b7d1p-56},
    {0x1.feaaeee86ee36p-4, -0x1.afcb2bcc6f03bp-59, 0x1.fc015527d5bd3p-1, 0x1.b68f35094efb8p-55},
    {0x1.0744fbcb7a34fp-3, -0x1.35f080b446e47p-57, 0x1.fbc081d406d54p-1, 0x1.19ca5c619c114p-55},
    {0x1.0f3378ddd71d1p-3, 0x1.d8468724f0f9ep-57, 0x1.fb7db2bfe0695p-1, 0x1.21dadf4f65ab1p-55},
    {0x1.1720e6bcd1c11p-3, -0x1.370a768c28cc9p-57, 0x1.fb38e82e31880p-1, -0x1.cd45c28dde5cfp-56},
    {0x1.1f0d3d7afceafp-3, -0x1.6ef95099769a5p-57, 0x1.faf22263c4bd3p-1, -0x1.52ace133a2769p-58},
    {0x1.26f8752c02859p-3, 0x1.99d3f99560e16p-60, 0x1.faa961a75fcd7p-1, 0x1.154aedc530b90p-55},
    {0x1.2ee285e4ab88fp-3, -0x1.e4d0f05dee058p-57, 0x1.fa5ea641c36f2p-1, 0x1.04da6ed17cc7cp-59},
    {0x1.36cb67bae7e52p-3, -0x1.2b58c9385fe0dp-59, 0x1.fa11f07dab019p-1, 0x1.4c36f0cfac1a2p-55},
    {0x1.3eb312c5d66cbp-3, 0x1.47d666b66cb91p-57, 0x1.f9c340a7cc428p-1, 0x1.c5b6b063b7462p-55},
    {0x1.46997f1dccbd6p-3, 0x1.5772779edaa4cp-61, 0x1.f972970ed7014p-1, 0x1.82d46ff943b09p-55},
    {0x1.4e7ea4dc5f27bp-3, 0x1.949db2ac072fcp-58, 0x1.f91ff40374d01p-1, -0x1.7d03f4d3a9e4cp-57},
    {0x1.56627c1c68959p-3, -0x1.c1a626f9f35f9p-57, 0x1.f8cb57d848b36p-1, -0x1.e28ca6524cc98p-60},
    {0x1.5e44fcfa126f3p-3, -0x1.6f443063f89b6p-57, 0x1.f874c2e1eecf6p-1, -0x1.c6514e1332b16p-55},
    {0x1.66261f92dc7f2p-3, 0x1.4732388b03388p-58, 0x1.f81c3576fc132p-1, -0x1.a210f729d0428p-56},
    {0x1.6e05dc05a4d4cp-3, -0x1.32c5c8b81c919p-66, 0x1.f7c1afeffde24p-1, -0x1.8f55bc47540b1p-56},
    {0x1.75e42a72afa53p-3, 0x1.25101dbbe3de1p-57, 0x1.f76532a779bc3p-1, -0x1.cc2b661f73e17p-56},
    {0x1.7dc102fbaf2b5p-3, 0x1.5ab50e23c97c3p-59, 0x1.f706bdf9ece1cp-1, -0x1.698c80c36dcb4p-55},
    {0x1.859c5dc3cb85dp-3, 0x1.bdacb1bb1532ap-58, 0x1.f6a65245cbf89p-1, 0x1.21006d1ee0324p-55},
    {0x1.8d7632efaa944p-3, -0x1.20fa262cbb953p-57, 0x1.f643efeb82acdp-1, 0x1.6b00ac1fe28acp-56},
    {0x1.954e7aa577d22p-3, 0x1.add11e2b03481p-57, 0x1.f5df974d73509p-1, -0x1.1041b91c41e29p-55},
    {0x1.9d252d0cec312p-3, 0x1.9c43d80b1137dp-58, 0x1.f57948cff6797p-1, 0x1.e3a0d3e03b1d4p-57},
    {0x1.a4fa424f55f0fp-3, 0x1.88fc2611aa255p-57, 0x1.f51104d95a9c8p-1, -0x1.1bc67d4243730p-55},
    {0x1.accdb297a0765p-3, -0x1.9883b57d6cdeap-58, 0x1.f4a6cbd1e3a79p-1, 0x1.13df0edaebb57p-55},
    {0x1.b49f76125c1fdp-3, 0x1.697d0c986b191p-60, 0x1.f43a9e23ca996p-1, -0x1.c057991f742e7p-55},
    {0x1.bc6f84edc6199p-3, 0x1.9c1a56a7b0cabp-57, 0x1.f3cc7c3b3d16ep-1, -0x1.21a3ad28a3494p-57},
    {0x1.c43dd759d02eep-3, -0x1.5bcc2e3046626p-63, 0x1.f35c66865cff8p-1, 0x1.7cda41f3feef8p-55},
    {0x1.cc0a6588289a3p-3, -0x1.868d09bc87c6bp-57, 0x1.f2ea5d753ffedp-1, 0x1.cc4215f56d583p-55},
    {0x1.d3d527ac41d38p-3, -0x1.6fa59a447a134p-58, 0x1.f2766179ef1c7p-1, -0x1.2932f8987bcb6p-57},
    {0x1.db9e15fb5a5d0p-3, -0x1.32e20d6cc6fc2p-57, 0x1.f20073086649fp-1, 0x1.b940416c1984bp-56},
    {0x1.e36528ac848dap-3, -0x1.240b73f3963fep-60, 0x1.f188929693ef2p-1, -0x1.81f656ea94ccfp-55},
    {0x1.eb2a57f8ae5a3p-3, -0x1.0be06af572cebp-57, 0x1.f10ec09c5873bp-1, 0x1.d9072762c1283p-55},
    {0x1.f2ed9c1aa91c4p-3, -0x1.6142de810c2b7p-57, 0x1.f092fd9385c7ep-1, 0x1.750563a9bed86p-59},
    {0x1.faaeed4f31577p-3, -0x1.15d88508e32b8p-57, 0x1.f01549f7deea1p-1, 0x1.d3c1e99e5cafdp-55},
    {0x1.013721ea7b3e5p-2, 0x1.10fa1d5106315p-56, 0x1.ef95a647176b9p-1, -0x1.a2aefc066f251p-55},
    {0x1.0515cbf65155cp-2, -0x1.9b8c29dfd8ec7p-56, 0x1.ef141300d2f26p-1, -0x1.2aa1b08ded372p-55},
    {0x1.08f370ec7138ap-2, -0x1.183d7d425e7ecp-57, 0x1.ee9090a6a4ba0p-1, 0x1.48d59a9171632p-55},
    {0x1.0cd00cef36436p-2, -0x1.9fb0a0c93e2b4p-56, 0x1.ee0b1fbc0f11cp-1, -0x1.bfd2380bbc3b1p-59},
    {0x1.10ab9c2204c59p-2, -0x1.843c6295a07bfp-56, 0x1.ed83c0c682d90p-1, 0x1.8605a9115beaep-57},
    {0x1.14861aa94ddebp-2, -0x1.be881b5b615a4p-57, 0x1.ecfa744d5efa1p-1, -0x1.56d0a4af541d0p-58},
    {0x1.185f84aa9359bp-2, -0x1.5486ede74dbb2p-57, 0x1.ec6f3ad9efe2ap-1, -0x1.0bc0bfbb6aeaap-55},
    {0x1.1c37d64c6b876p-2, 0x1.46076fe0dcff4p-56, 0x1.ebe214f76efa8p-1, -0x1.02f9f12ba543ep-55},
    {0x1.200f0bb685180p-2, 0x1.31bdc968ef588p-57, 0x1.eb53033302187p-1, -0x1.40e3e817e1641p-56},
    {0x1.23e52111aaf36p-2, -0x1.4f080334eff18p-56, 0x1.eac2061bbaf4fp-1, 0x1.2c1d53e94658dp-57},
    {0x1.27ba1287c8102p-2, -0x1.0fb418a5581b0p-59, 0x1.ea2f1e42969b4p-1, -0x1.bd66b6627d017p-55},
    {0x1.2b8ddc43eb49fp-2, 0x1.1553899f2d807p-57, 0x1.e99a4c3a7cd83p-1, -0x1.2264b1bc53ce8p-55},
    {0x1.2f607a724b365p-2, 0x1.70f6b47bd3fc4p-56, 0x1.e90390983fa78p-1, -0x1.28954c7f8dd8fp-55},
    {0x1.3331e94049f87p-2, 0x1.e0cb6b40c302cp-56, 0x1.e86aebf29a9edp-1, 0x1.9397afdbb58a7p-55},
    {0x1.370224dc7913dp-2, -0x1.badca2c0c47d0p-57, 0x1.e7d05ee232573p-1, -0x1.c4621b65d22fbp-55},
    {0x1.3ad129769d3d8p-2, 0x1.03d550487839ap-63, 0x1.e733ea0193d40p-1, -0x1.6428b3546ce13p-55},
    {0x1.3e9ef33fb22cbp-2, -0x1.cd85ab33f11b4p-58, 0x1.e6958ded33e8ep-1, -0x1.a2d4a62b00c99p-59},
    {0x1.426b7e69ee697p-2, -0x1.f09c75705c59fp-56, 0x1.e5f54b436e9d0p-1, 0x1.7eb0fd02fc8bcp-55},
    {0x1.4636c728c71a8p-2, -0x1.3e9c8df9261a7p-57, 0x1.e55322a4868cep-1, -0x1.ff59bf4b08084p-55},
    {0x1.4a00c9b0f3d20p-2, 0x1.823ba6bb08eadp-56, 0x1.e4af14b2a449cp-1, -0x1.68ca02e8a6833p-55},
    {0x1.4dc982387258bp-2, -0x1.57b6fc37e14d8p-56, 0x1.e4092211d5b7ep-1, 0x1.bc7573acc79e9p-56},
    {0x1.5190ecf68a77ap-2, 0x1.b357155eef0f3p-56, 0x1.e3614b680d6a5p-1, -0x1.27793aa015237p-56},
    {0x1.55570623d1c18p-2, 0x1.4cdaa70975dbep-59, 0x1.e2b7915d21fccp-1, 0x1.3149be81a8fd3p-55},
    {0x1.591bc9fa2f597p-2, 0x1.7c74bac3fe0cbp-57, 0x1.e20bf49acd6c1p-1, -0x1.660aec7ef636bp-58},
    {0x1.5cdf34b4dfb98p-2, 0x1.7458b493a1d20p-56, 0x1.e15e75ccac6c3p-1, 0x1.3261811c2a8d6p-55},
    {0x1.60a1429078775p-2, 0x1.b1fd80ba89133p-58, 0x1.e0af15a03dbcep-1, 0x1.fe8e702771ae6p-58},
    {0x1.6461efcaec077p-2, -0x1.94dc7178bd734p-56, 0x1.dffdd4c4e17bep-1, 0x1.51415af290396p-55},
    {0x1.682138a38d7f7p-2, -0x1.d889202444aadp-56, 0x1.df4ab3ebd875ep-1, -0x1.e2d8a7e6736c4p-55},
    {0x1.6bdf195b1456ap-2, -0x1.1c05d4d4179b8p-57, 0x1.de95b3c84374dp-1, 0x1.8b4bf71c7de42p-55},
    {0x1.6f9b8e33a0255p-2, 0x1.42bc14ee9da0dp-56, 0x1.ddded50f228d6p-1, -0x1.e80c8d42ba2bfp-57},
    {0x1.73569370bc62bp-2, 0x1.bf3442bdd527ep-56, 0x1.dd26187754695p-1, 0x1.f16517d83bbcap-56},
    {0x1.7710255764214p-2, -0x1.6ead7314bb6cep-57, 0x1.dc6b7eb995912p-1, 0x1.4b364776dcd35p-58},
    {0x1.7ac8402e05c9bp-2, 0x1.a39e39ea9f25cp-56, 0x1.dbaf08907fb2fp-1, 0x1.9a5395924f2ffp-55},
    {0x1.7e7ee03c86d4ep-2, -0x1.b63bcdabf5af2p-56, 0x1.daf0b6b888e83p-1, 0x1.a249e2b5e5ceap-55},
    {0x1.823401cc47836p-2, -0x1.08091b8d964c7p-56, 0x1.da3089f002f90p-1, -0x1.15b9a62d60141p-55},
    {0x1.85e7a12826949p-2, 0x1.8a40e9b5face0p-56, 0x1.d96e82f71a9dcp-1, 0x1.ff61bd5d2039dp-55},
    {0x1.8999ba9c84fbap-2, 0x1.c1fef1753c7bfp-59, 0x1.d8aaa28fd6bf6p-1, -0x1.d74eb5f28a765p-55},
    {0x1.8d4a4a774992fp-2, 0x1.44a02ea766326p-56, 0x1.d7e4e97e17b4ap-1, -0x1.3b770352bed94p-57},
    {0x1.90f94d07e4ce8p-2, 0x1.32c8fb2f2ea25p-56, 0x1.d71d5887967eep-1, -0x1.516e003d9dd64p-58},
    {0x1.94a6be9f546c5p-2, -0x1.69ce13e683f58p-56, 0x1.d653f073e4040p-1, -0x1.76236434bec37p-55},
    {0x1.98529b9027235p-2, -0x1.70c0c231d4808p-56, 0x1.d588b20c6846ep-1, -0x1.bef54b0f32a77p-55},
    {0x1.9bfce02e80510p-2, 0x1.09e39a320b0a4p-56, 0x1.d4bb9e1c619e0p-1, 0x1.f34bb77858f61p-55},
    {0x1.9fa588d01ba55p-2, -0x1.6aa35ae5de16ap-59, 0x1.d3ecb570e3e87p-1, 0x1.8b4d9843b2bf5p-55},
    {0x1.a34c91cc50ccap-2, -0x1.a310e3b50cecdp-58, 0x1.d31bf8d8d7c06p-1, 0x1.e60dd3089cbddp-56},
    {0x1.a6f1f77c1718ap-2, 0x1.e7b0a3486494fp-56, 0x1.d2496924f9ac7p-1, 0x1.f17673d6927ffp-55},
    {0x1.aa95b63a09277p-2, -0x1.6293eb13c0381p-57, 0x1.d1750727d94f0p-1, 0x1.0d52b1ec1a48ep-55},
    {0x1.ae37ca626888ap-2, 0x1.2d294cf918262p-57, 0x1.d09ed3b5d8937p-1, 0x1.a8d847bc2c5bbp-55},
    {0x1.b1d8305321617p-2, -0x1.ae242cb99f519p-56, 0x1.cfc6cfa52ad9fp-1, 0x1.8b5b5508f2a0dp-55},
    {0x1.b576e46bce0e6p-2, 0x1.beb8a2f9cde89p-56, 0x1.ceecfbcdd4213p-1, 0x1.b682a76d7e904p-60},
    {0x1.b913e30dbac43p-2, -0x1.e38ad2f6c3ff1p-56, 0x1.ce115909a82e5p-1, 0x1.1f139bb31109ap-55},
    {0x1.bcaf289be92ddp-2, 0x1.8b06e5fb8daacp-56, 0x1.cd33e83449b34p-1, 0x1.61068cd16da9fp-57},
    {0x1.c048b17b140a3p-2, 0x1.19fe6757e9fa7p-57, 0x1.cc54aa2b2972ep-1, 0x1.4ee162ba83a98p-57},
    {0x1.c3e07a11b2c6ep-2, -0x1.76c26153de447p-57, 0x1.cb739fcd8563cp-1, -0x1.7e793b55ea6a2p-55},
    {0x1.c7767ec7fd19ep-2, -0x1.eb14d1a3d5826p-58, 0x1.ca90c9fc67d0bp-1, -0x1.46a81485e3462p-57},
    {0x1.cb0abc07ee997p-2, -0x1.2d6ebfce7c050p-56, 0x1.c9ac299aa677fp-1, 0x1.7560844703578p-55},
    {0x1.ce9d2e3d4a51fp-2, -0x1.2fc8a12dae298p-57, 0x1.c8c5bf8ce1a84p-1, 0x1.ab3d1a1590123p-56},
    {0x1.d22dd1d59e5a4p-2, -0x1.3a439e78d5440p-57, 0x1.c7dd8cb9835c3p-1, -0x1.dd23c3aa785f7p-55},
    {0x1.d5bca34047661p-2, 0x1.28a44a75fc29cp-56, 0x1.c6f39208be53bp-1, -0x1.741dbfbaadb42p-55},
    {0x1.d9499eee7456bp-2, 0x1.40792a7dee83dp-59, 0x1.c607d0648d2c1p-1, -0x1.2169fa0e8ce47p-56},
    {0x1.dcd4c15329c9ap-2, 0x1.0d4c6e171fd9ap-56, 0x1.c51a48b8b175ep-1, -0x1.1bbb43b9aa880p-57},
    {0x1.e05e06e345a5dp-2, 0x1.0f838535e3a93p-57, 0x1.c42afbf2b2c93p-1, -0x1.f2a77b07f14e6p-57},
    {0x1.e3e56c1582a69p-2, -0x1.0a4821099f88fp-58, 0x1.c339eb01ddd81p-1, -0x1.caaf5ee82c5c0p-55},
    {0x1.e76aed627be4ep-2, 0x1.8937d7fe3f57fp-56, 0x1.c24716d7437f3p-1, -0x1.4874850e5d927p-56},
    {0x1.eaee8744b05f0p-2, -0x1.789b43c9b027dp-58, 0x1.c1528065b7d50p-1, -0x1.892111312e828p-55},
    {0x1.ee703638867dap-2, -0x1.3872f1aaf5cbdp-56, 0x1.c05c28a1d1369p-1, 0x1.f9a1ac93aee95p-55},
    {0x1.f1eff6bc4f97bp-2, 0x1.17212f8a7525cp-56, 0x1.bf641081e7536p-1, 0x1.b7bd71628a9a1p-55},
    {0x1.f56dc5504b742p-2, 0x1.a18434fc65e81p-56, 0x1.be6a38fe1236ap-1, 0x1.fdab7587b02acp-56},
    {0x1.f8e99e76abc97p-2, 0x1.9d950af2d00a3p-58, 0x1.bd6ea310294f5p-1, 0x1.31bbcc88c109dp-56},
    {0x1.fc637eb397bb8p-2, 0x1.d8f507b2ea243p-56, 0x1.bc714fb3c2766p-1, 0x1.eb19c8a06c310p-56},
    {0x1.ffdb628d2f57ap-2, 0x1.f4a992e905b6ap-57, 0x1.bb723fe630f32p-1, 0x1.72bd2452d0a39p-56},
    {0x1.01a8a345c7871p-1, 0x1.a6deb08435ee0p-55, 0x1.ba7174a6847dep-1, -0x1.defb28953f677p-60},
    {0x1.0362939c69955p-1, -0x1.2d8cd78397b01p-55, 0x1.b96eeef58840ep-1, 0x1.45a3cc78fade0p-58},
    {0x1.051b80908da4ap-1, 0x1.f7686b96f8f0ep-57, 0x1.b86aafd5c1d79p-1, 0x1.a6cc07549db15p-55},
    {0x1.06d3686946e5bp-1, 0x1.3f5ae4538ff1bp-55, 0x1.b764b84b704c2p-1, -0x1.f5848c21b389bp-55},
    {0x1.088a496eada47p-1, 0x1.e07780127666dp-56, 0x1.b65d095c8b12ep-1, 0x1.1d33cb4db26bdp-56},
    {0x1.0a4021e9e1001p-1, -0x1.6f643a13914f6p-55, 0x1.b553a410c104ep-1, 0x1.8ff7947027a15p-58},
    {0x1.0bf4f02508a1cp-1, 0x1.da0ced695fe43p-57, 0x1.b44889717757cp-1, 0x1.b17c0070c2815p-61},
    {0x1.0da8b26b5672ep-1, -0x1.a58def0bee909p-55, 0x1.b33bba89c8948p-1, 0x1.ea6a51d1f6ca9p-55},
    {0x1.0f5b670908515p-1, 0x1.a7ed13e5fbb05p-56, 0x1.b22d3866838c8p-1, -0x1.6e9a5f4ff5b7dp-59},
    {0x1.110d0c4b69c3bp-1, 0x1.d918998809981p-55, 0x1.b11d04162a4c6p-1, 0x1.1dd561efbc0c2p-56},
    {0x1.12bda080d5abcp-1, 0x1.d3a97fee7e959p-55, 0x1.b00b1ea8f10dep-1, -0x1.958d71955fb3fp-55},
    {0x1.146d21f8b7f82p-1, 0x1.bf9535e2739a8p-56, 0x1.aef78930bd275p-1, -0x1.f836279746f94p-56},
    {0x1.161b8f038f54ep-1, -0x1.c5ee5cde48178p-58, 0x1.ade244c123f9fp-1, 0x1.8d3fc4dfa0f9cp-55},
    {0x1.17c8e5f2eedb0p-1, 0x1.35e57102e2488p-57, 0x1.accb526f69de5p-1, 0x1.8fb6a8dd6b6ccp-55},
    {0x1.197525197fbefp-1, 0x1.810a2d8e3468ap-57, 0x1.abb2b352810eep-1, 0x1.db59f6f843f91p-55},
    {0x1.1b204acb02fddp-1, -0x1.f190c70cbb5fep-58, 0x1.aa98688308913p-1, -0x1.b83d607cd5072p-63},
    {0x1.1cca555c5309bp-1, -0x1.fc53db3120a83p-58, 0x1.a97c731b4b1d2p-1, 0x1.1245d6144e0cdp-56},
    {0x1.1e7343236574cp-1, 0x1.22a3fa4f41d5ap-56, 0x1.a85ed4373e02dp-1, 0x1.9be06385ec792p-57},
    {0x1.201b12774c9b6p-1, -0x1.d31fe293d1034p-59, 0x1.a73f8cf4800e8p-1, -0x1.c372ed4bdefbfp-57},
    {0x1.21c1c1b0394cfp-1, 0x1.e5b324b23aa31p-58, 0x1.a61e9e72586afp-1, 0x1.58330e2fd453fp-55},
    {0x1.23674f277c73cp-1, 0x1.87167f61285ffp-56, 0x1.a4fc09d1b5825p-1, -0x1.4cce741fb33a5p-55},
    {0x1.250bb93788bbbp-1, 0x1.ea3d02457bccep-56, 0x1.a3d7d0352bdcfp-1, -0x1.68dbaeca19669p-55},
    {0x1.26aefe3bf437cp-1, -0x1.657b40100c3a6p-60, 0x1.a2b1f2c0f4ff0p-1, 0x1.c9fe748eedc9cp-56},
    {0x1.28511c917a067p-1, -0x1.01df1d9a16b70p-55, 0x1.a18a729aee445p-1, 0x1.95e25736c0357p-60},
    {0x1.29f21295fbf51p-1, -0x1.6bd333b0b0cbbp-55, 0x1.a06150ea97ba3p-1, 0x1.bc4a6cdcbf214p-55},
    {0x1.2b91dea88421ep-1, -0x1.fa371db216ab0p-55, 0x1.9f368ed912f85p-1, -0x1.1d200c5791606p-55},
    {0x1.2d307f29469cfp-1, 0x1.ba5fe5f921e0bp-56, 0x1.9e0a2d9121f73p-1, -0x1.5e7ba2bd64f0ap-56},
    {0x1.2ecdf279a3082p-1, 0x1.d3557e0e7e37ep-55, 0x1.9cdc2e3f25e5cp-1, 0x1.3f99112993f62p-55},
    {0x1.306a36fc26359p-1, -0x1.21305ba6473abp-55, 0x1.9bac92111dfcep-1, 0x1.0ce9c6f353e9ap-55},
    {0x1.32054b148bc4fp-1, 0x1.f6b42095a135bp-55, 0x1.9a7b5a36a6514p-1, 0x1.722cfcc9fa7a9p-55},
    {0x1.339f2d27bfc05p-1, -0x1.ddf4717254e6fp-55, 0x1.994887e0f6a3fp-1, 0x1.0be6cea471d02p-56},
    {0x1.3537db9be0367p-1, 0x1.b327e7af040f0p-57, 0x1.98141c42e1310p-1, 0x1.d1ff80488f08dp-55},
    {0x1.36cf54d83ed56p-1, 0x1.6e1f20c8b5b7dp-57, 0x1.96de1890d17cep-1, 0x1.caa25dc8e6991p-55},
    {0x1.386597456282bp-1, -0x1.10fada93b07a8p-56, 0x1.95a67e00cb1fdp-1, -0x1.0befda21f862dp-55},
    {0x1.39faa14d08f31p-1, -0x1.cd164b88ce902p-57, 0x1.946d4dca688fcp-1, 0x1.02c6f2978af1dp-55},
    {0x1.3b8e715a2840ap-1, -0x1.97653a7d2f07ap-56, 0x1.93328926d9e92p-1, -0x1.bb77003600cdap-55},
    {0x1.3d2105d8f07fep-1, 0x1.1602a42d4b3d4p-57, 0x1.91f63150e3b52p-1, -0x1.80bd33fb3df2ep-57},
    {0x1.3eb25d36cd53ap-1, -0x1.be570e1570fc0p-58, 0x1.90b84784ddaf7p-1, -0x1.0feb10ab93b87p-56},
    {0x1.404275e2677f7p-1, -0x1.f859aade89fd2p-56, 0x1.8f78cd00b1899p-1, -0x1.d5d3da9ac3dd3p-58},
    {0x1.41d14e4ba6790p-1, 0x1.4608fd287ecf5p-55, 0x1.8e37c303d9ad1p-1, -0x1.463a4b53d4bf8p-57},
    {0x1.435ee4e3b1f86p-1, 0x1.fd05667361565p-55, 0x1.8cf52acf5ffc0p-1, 0x1.eb45b71ac7cc5p-56},
    {0x1.44eb381cf386bp-1, -0x1.3ed6c1e6a5505p-55, 0x1.8bb105a5dc900p-1, 0x1.863e03e9474c1p-55},
    {0x1.4676466b180b9p-1, 0x1.d4f2a623cabd3p-56, 0x1.8a6b54cb74779p-1, 0x1.754938eccac38p-55},
    {0x1.48000e431159fp-1, -0x1.b194a7463ed10p-55, 0x1.89241985d871fp-1, 0x1.c48d9c413ed84p-55},
    {0x1.49888e1b17ba8p-1, 0x1.85f236b9ef692p-56, 0x1.87db551c43a98p-1, 0x1.cc790421e159ap-58},
    {0x1.4b0fc46aab761p-1, 0x1.0da05738cc59cp-61, 0x1.869108d77a6c6p-1, 0x1.338ffe2bfe9ddp-56},
    {0x1.4c95afaa965d9p-1, 0x1.99f87b905eef7p-55, 0x1.85453601c8e3ep-1, -0x1.8826853e7560ap-57},
    {0x1.4e1a4e54ed51bp-1, -0x1.a492f89b7c76ap-55, 0x1.83f7dde701ca0p-1, -0x1.152cf609bc6e8p-59},
    {0x1.4f9d9ee511c85p-1, 0x1.2ed6c74c625f7p-55, 0x1.82a901d47d1dcp-1, 0x1.7cbb4128c4c1ep-55},
    {0x1.511f9fd7b351cp-1, -0x1.5c0e861c48831p-55, 0x1.8158a31916d5dp-1, -0x1.de8b90b8228dep-57},
    {0x1.52a04faad11b6p-1, 0x1.07d7bd78bcb9cp-55, 0x1.8006c3052d917p-1, 0x1.aa8fb560a8d95p-55},
    {0x1.541facddbb724p-1, 0x1.232c28520d391p-56, 0x1.7eb362eaa1488p-1, 0x1.a1d65a4a5959fp-58},
    {0x1.559db5f115436p-1, -0x1.7229f7edd6050p-56, 0x1.7d5e841cd1f93p-1, 0x1.ba5492fa6d189p-58},
    {0x1.571a6966d59b3p-1, 0x1.c843b4d0fb197p-58, 0x1.7c0827f09e54fp-1, -0x1.c73d6d72aee68p-57},
    {0x1.5895c5c24923bp-1, 0x1.b97f22c957c4fp-55, 0x1.7ab04fbc626b6p-1, 0x1.36a41f9c8150ap-55},
    {0x1.5a0fc98813a12p-1, -0x1.d82e2b7d4227bp-55, 0x1.7956fcd7f6543p-1, -0x1.ab276e9d45ae4p-55},
    {0x1.5b88733e316d1p-1, -0x1.077c33cd5e751p-55, 0x1.77fc309cacd6ep-1, 0x1.a61550088db65p-58},
    {0x1.5cffc16bf8f0dp-1, 0x1.96cb370eb578ap-55, 0x1.769fec655211fp-1, -0x1.827d5cf8c68c5p-57},
    {0x1.5e75b29a1c1dfp-1, 0x1.c266e6544ba29p-55, 0x1.7542318e2a1fap-1, 0x1.da5b28e9eb3b9p-55},
    {0x1.5fea4552a9e57p-1, 0x1.0b6cef7ee20b7p-55, 0x1.73e30174efba1p-1, -0x1.5d3ae3d94ad5fp-57},
    {0x1.615d78210faddp-1, -0x1.e3827d0c03315p-56, 0x1.72825d78d2dd2p-1, -0x1.5c7ee90b400a9p-55},
    {0x1.62cf49921ac79p-1, -0x1.edd9855b6241ap-55, 0x1.712046fa77678p-1, 0x1.425b0a5029c81p-55},
    {0x1.643fb833f9e07p-1, -0x1.4a1c5cd0442cdp-57, 0x1.6fbcbf5bf3ba2p-1, 0x1.eaec3811b3b5dp-55},
    {0x1.65aec2963e755p-1, 0x1.126f96b71053cp-55, 0x1.6e57c800cf55ep-1, 0x1.60286dedbd0a6p-55},
    {0x1.671c6749de429p-1, -0x1.57b95de1e1fdfp-55, 0x1.6cf1624e01782p-1, 0x1.d2f32a51e82e8p-56},
    {0x1.6888a4e134b2fp-1, -0x1.6b7d37644d5e6p-55, 0x1.6b898fa9efb5dp-1, 0x1.15ac786ccf4b2p-56},
    {0x1.69f379f0044d7p-1, 0x1.d89d29f8584f8p-55, 0x1.6a20517c6c950p-1, 0x1.a6fd059b9724cp-55},
    {0x1.6b5ce50b7821ap-1, -0x1.5d5158f702e0fp-57, 0x1.68b5a92eb6253p-1, -0x1.9a91ad985f89cp-55},
};

// sin t − t = t³·(−1/6 + t²/120 − t⁴/5040) and cos t − 1 = t²·(−1/2 +
// t²/24 − t⁴/720) for |t| <= 2^−9: the omitted terms are below 2^−90 of t
// and 2^−87.
constexpr double kSin3 = -1.0 / 6, kSin5 = 1.0 / 120, kSin7 = -1.0 / 5040;
constexpr double kCos4 = 1.0 / 24, kCos6 = -1.0 / 720;

// atan(k/64) and π/2 − atan(k/64) for k = 0 .. 64, each as hi + lo.
struct tlAtanEntry {
    double atanHi, atanLo, restHi, restLo;
};
constexpr tlAtanEntry kAtanTable[65] = {
    {0x0.0p+0, 0x0.0p+0, 0x1.921fb54442d18p+0, 0x1.1a62633145c07p-54},
    {0x1.fff555bbb729bp-7, -0x1.220c39d4dff50p-61, 0x1.8e1fca98cb633p+0, 0x1.1299ee93be016p-56},
    {0x1.ffd55bba97625p-6, -0x1.5ec431444912cp-60, 0x1.8a205fd558740p+0, -0x1.30228c09a91b4p-54},
    {0x1.7fb818430da2ap-5, -0x1.86ef8f794f105p-63, 0x1.8621f4822a647p+0, -0x1.26d12837ecc05p-57},
    {0x1.ff55bb72cfdeap-5, -0x1.c934d86d23f1dp-60, 0x1.82250768ac529p+0, -0x1.e78c96d05afcbp-58},
    {0x1.3f59f0e7c559dp-4, 0x1.ac4ce285df847p-58, 0x1.7e2a1635c67bep+0, 0x1.bf9d9508e7c82p-54},
    {0x1.7ee182602f10fp-4, -0x1.cfb654c0c3d98p-58, 0x1.7a319d1e3fe07p+0, 0x1.775dc87d51fe0p-54},
    {0x1.be39ebe6f07c3p-4, 0x1.f7b8f29a05987p-58, 0x1.763c1685d3c9cp+0, 0x1.d736a03d2b373p-57},
    {0x1.fd5ba9aac2f6ep-4, -0x1.cd37686760c17p-59, 0x1.7249faa996a21p+0, 0x1.a8cc1e7480c68p-54},
    {0x1.1e1fafb043727p-3, -0x1.b485914dacf8cp-59, 0x1.6e5bbf4e3a633p+0, 0x1.a8068fbbb3283p-54},
    {0x1.3d6eee8c6626cp-3, 0x1.61a3b0ce9281bp-57, 0x1.6a71d772b60cbp+0, -0x1.11d212e88c8fdp-54},
    {0x1.5c9811e3ec26ap-3, -0x1.054ab2c010f3dp-58, 0x1.668cb307c54cbp+0, 0x1.55b872ea367d6p-57},
    {0x1.7b97b4bce5b02p-3, 0x1.347b0b4f881cap-58, 0x1.62acbeaca61b8p+0, 0x1.c6ac9f134fa91p-60},
    {0x1.9a6a8e96c8626p-3, 0x1.cf601e7b4348ep-59, 0x1.5ed2637169c54p+0, -0x1.f4189dc29459ep-54},
    {0x1.b90d7529260a2p-3, 0x1.17b10d2e0e5abp-61, 0x1.5afe069f1e104p+0, 0x1.8330116e9a3b9p-58},
    {0x1.d77d5df205736p-3, 0x1.c648d1534597ep-57, 0x1.5730098602231p+0, 0x1.e1994906dd0d7p-54},
    {0x1.f5b75f92c80ddp-3, 0x1.8ab6e3cf7afbdp-57, 0x1.5368c951e9cfdp+0, -0x1.96f47948a99f1p-54},
    {0x1.09dc597d86362p-2, 0x1.62e47390cb865p-56, 0x1.4fa89ee4e1440p+0, -0x1.3e56b9b2ed212p-54},
    {0x1.18bf5a30bf178p-2, 0x1.30ca4748b1bf9p-57, 0x1.4befdeb8130bap+0, 0x1.e89234905f110p-55},
    {0x1.278372057ef46p-2, -0x1.077cdd36dfc81p-56, 0x1.483ed8c2e3147p+0, -0x1.477ccb02049b2p-55},
    {0x1.362773707ebccp-2, -0x1.963a544b672d8p-57, 0x1.4495d86823225p+0, 0x1.4d29adbab2a62p-54},
    {0x1.44aa436c2af0ap-2, -0x1.5d5e43c55b3bap-56, 0x1.40f5246938156p+0, -0x1.1c8c17bac6e15p-55},
    {0x1.530ad9951cd4ap-2, -0x1.2566480884082p-57, 0x1.3d5cfedefb9c6p+0, -0x1.81e1a79b537d2p-55},
    {0x1.614840309cfe2p-2, -0x1.a725715711f00p-56, 0x1.39cda5381b920p+0, -0x1.ef5101e3d70e5p-56},
    {0x1.6f61941e4def1p-2, -0x1.c63aae6f6e918p-56, 0x1.3647503caf55cp+0, 0x1.17e21d9a42c9ap-55},
    {0x1.7d5604b63b3f7p-2, 0x1.69c885c2b249ap-56, 0x1.32ca3416b401ap+0, 0x1.bff041c0992e0p-54},
    {0x1.8b24d394a1b25p-2, 0x1.b6d0ba3748fa8p-56, 0x1.2f56805f1a64fp+0, -0x1.4d472d7231f8dp-56},
    {0x1.98cd5454d6b18p-2, 0x1.9e6c988fd0a77p-56, 0x1.2bec602f0d252p+0, 0x1.658e7a1aa32d2p-55},
    {0x1.a64eec3cc23fdp-2, -0x1.24dec1b50b7ffp-56, 0x1.288bfa3512419p+0, 0x1.8e684e7a2281bp-56},
    {0x1.b3a911da65c6cp-2, 0x1.ae187b1ca5040p-56, 0x1.253570cda95fdp+0, 0x1.5db888d438feep-55},
    {0x1.c0db4c94ec9f0p-2, -0x1.cc1ce70934c34p-56, 0x1.21e8e21f07a9cp+0, 0x1.8d699cf392f14p-54},
    {0x1.cde53432c1351p-2, -0x1.a2cfa4418f1adp-56, 0x1.1ea6683792844p+0, 0x1.062c9883530e4p-55},
    {0x1.dac670561bb4fp-2, 0x1.a2b7f222f65e2p-56, 0x1.1b6e192ebbe44p+0, 0x1.b1b466a88828ep-54},
    {0x1.e77eb7f175a34p-2, 0x1.0e53dc1bf3435p-56, 0x1.18400747e568bp+0, 0x1.ad9ad85491df3p-55},
    {0x1.f40dd0b541418p-2, -0x1.a3992dc382a23p-57, 0x1.151c4116f2812p+0, 0x1.4ed588e9b614bp-54},
    {0x1.0039c73c1a40cp-1, -0x1.b32c949c9d593p-55, 0x1.1202d1a635b12p+0, 0x1.f3f8ad7f946d1p-54},
    {0x1.0657e94db30d0p-1, -0x1.d5b495f6349e6p-56, 0x1.0ef3c09d694b0p+0, 0x1.8fcf88aed2e80p-54},
    {0x1.0c6145b5b43dap-1, 0x1.974fa13b5404fp-58, 0x1.0bef126968b2bp+0, 0x1.00ed691d90802p-54},
    {0x1.1255d9bfbd2a9p-1, -0x1.2bdaee1c0ee35p-58, 0x1.08f4c864643c4p+0, -0x1.a5bfdbd9f2a2cp-55},
    {0x1.1835a88be7c13p-1, 0x1.c621cec00c301p-55, 0x1.0604e0fe4ef0fp+0, -0x1.c8ae842ec057ap-54},
    {0x1.1e00babdefeb4p-1, -0x1.928df287a668fp-58, 0x1.031f57e54adbep+0, 0x1.338b4259c0270p-54},
    {0x1.23b71e2cc9e6ap-1, 0x1.c421c9f38224ep-57, 0x1.0044262dddde3p+0, 0x1.c3bc53e5aaf7ap-55},
    {0x1.2958e59308e31p-1, -0x1.09e73b0c6c087p-56, 0x1.fae684f57cc00p-1, -0x1.46479c173e7afp-55},
    {0x1.2ee628406cbcap-1, 0x1.c5d5e9ff0cf8dp-55, 0x1.f559424818e66p-1, 0x1.bbbb718dfa201p-57},
    {0x1.345f01cce37bbp-1, 0x1.1021137c71102p-55, 0x1.efe068bba2275p-1, 0x1.24a3b2e61a70bp-55},
    {0x1.39c391cd4171ap-1, -0x1.2304331d8bf46p-55, 0x1.ea7bd8bb44317p-1, -0x1.506e0cffd1159p-56},
    {0x1.3f13fb89e96f4p-1, 0x1.ecf8b492644f0p-56, 0x1.e52b6efe9c33cp-1, 0x1.3e486c1959596p-55},
    {0x1.445065b795b56p-1, -0x1.f76d0163f79c8p-56, 0x1.dfef04d0efedbp-1, -0x1.9f0971d6f161cp-56},
    {0x1.4978fa3269ee1p-1, 0x1.2419a87f2a458p-56, 0x1.dac670561bb4fp-1, 0x1.a2b7f222f65e2p-55},
    {0x1.4e8de5bb6ec04p-1, 0x1.4a33dbeb3796cp-55, 0x1.d5b184cd16e2cp-1, 0x1.d521d4eea7d44p-56},
    {0x1.538f57b89061fp-1, -0x1.1bb74abda520cp-55, 0x1.d0b012cff5412p-1, -0x1.5f07ddbf9ebccp-56},
    {0x1.587d81f732fbbp-1, -0x1.5e5c9d8c5a950p-56, 0x1.cbc1e89152a76p-1, -0x1.1c0cead74734ap-55},
    {0x1.5d58987169b18p-1, 0x1.0028e4bc5e7cap-57, 0x1.c6e6d2171bf18p-1, 0x1.f4ba8d3373e1bp-55},
    {0x1.6220d115d7b8ep-1, -0x1.2b785350ee8c1p-57, 0x1.c21e9972adea3p-1, -0x1.805d24c938dc2p-55},
    {0x1.66d663923e087p-1, -0x1.6ea6febe8bbbap-56, 0x1.bd6906f6479aap-1, -0x1.13e7ba3e2ea15p-55},
    {0x1.6b798920b3d99p-1, -0x1.a80386188c50ep-55, 0x1.b8c5e167d1c98p-1, -0x1.19bd9c2741720p-58},
    {0x1.700a7c5784634p-1, -0x1.8c34d25aadef6p-56, 0x1.b434ee31013fdp-1, -0x1.0520d0701d877p-55},
    {0x1.748978fba8e0fp-1, 0x1.7b2a6165884a1p-59, 0x1.afb5f18cdcc22p-1, -0x1.e2eddfb3cd03cp-55},
    {0x1.78f6bbd5d315ep-1, 0x1.406a089803740p-55, 0x1.ab48aeb2b28d2p-1, 0x1.e8b57b951019bp-56},
    {0x1.7d528289fa093p-1, 0x1.560821e2f3aa9p-55, 0x1.a6ece7fe8b99dp-1, 0x1.bd7948ff2fac9p-56},
    {0x1.819d0b7158a4dp-1, -0x1.bf76229d3b917p-56, 0x1.a2a25f172cfe4p-1, -0x1.d700509dad6cep-56},
    {0x1.85d69576cc2c5p-1, 0x1.6b66e7fc8b8c3p-57, 0x1.9e68d511b976bp-1, 0x1.d9eb0c63689ddp-55},
    {0x1.89ff5ff57f1f8p-1, -0x1.55b9a5e177a1bp-55, 0x1.9a400a9306839p-1, -0x1.d6064eeff375dp-57},
    {0x1.8e17aa99cc05ep-1, -0x1.ec182ab042f61p-56, 0x1.9627bfeeb99d3p-1, -0x1.aa5e488aa6084p-56},
    {0x1.921fb54442d18p-1, 0x1.1a62633145c07p-55, 0x1.921fb54442d18p-1, 0x1.1a62633145c07p-55},
};

// s + e = a + b exactly (any magnitudes).
inline void twoSum(double a, double b, double &s, double &e) {
    s = a + b;
    const double bv = s - a;
    e = (a - (s - bv)) + (b - bv);
}

// s + e = a + b exactly when |a| >= |b| or a is 0.
inline void fastTwoSum(double a, double b, double &s, double &e) {
    s = a + b;
    e = b - (s - a);
}

// a = hi + lo with hi holding the top 26 bits (|a| below 2^996).
inline void split(double a, double &hi, double &lo) {
    const double c = 134217729.0 * a;  // 2^27 + 1
    hi = c - (c - a);
    lo = a - hi;
}

// p + e = a·b exactly (Dekker; no fused multiply-add).
inline void twoProduct(double a, double b, double &p, double &e) {
    p = a * b;
    double ah, al, bh, bl;
    split(a, ah, al);
    split(b, bh, bl);
    e = ((ah * bh - p) + ah * bl + al * bh) + al * bl;
}

inline uint64_t bitsOf(double x) {
    uint64_t b;
    std::memcpy(&b, &x, sizeof b);
    return b;
}

// 2^k for normal results (−1022 <= k <= 1023).
inline double powerOfTwo(int32_t k) {
    const uint64_t b = static_cast<uint64_t>(k + 1023) << 52;
    double x;
    std::memcpy(&x, &b, sizeof x);
    return x;
}

bool isFinite(double x) { return (bitsOf(x) & 0x7FF0000000000000ull) != 0x7FF0000000000000ull; }

bool isTiny(double x) { return (bitsOf(x) & 0x7FFFFFFFFFFFFFFFull) < bitsOf(0x1p-27); }

double fromBits(uint64_t b) {
    double x;
    std::memcpy(&x, &b, sizeof x);
    return x;
}

// True when every value within err of hi + lo rounds to hi, for hi =
// RN(hi + lo) normal. The halfway points next to hi are half an ulp away, or
// a quarter below a power of two (taken on both sides); the sum |lo| + err
// is enlarged to cover its own roundings.
bool roundsToHi(double hi, double lo, double err) {
    const uint64_t b = bitsOf(hi) & 0x7FFFFFFFFFFFFFFFull;
    const double power = fromBits(b & 0x7FF0000000000000ull);  // 2^exponent of hi
    const double halfGap = (b & 0xFFFFFFFFFFFFFull) == 0 ? power * 0x1p-54 : power * 0x1p-53;
    const double spread = (lo < 0.0 ? -lo : lo) + err;
    return spread + spread * 0x1p-50 < halfGap;
}

double fromNumber(const fpm::detail::tlBinaryNumber &r) {
    uint64_t b = r.negative ? 1ull << 63 : 0;
    if (r.significand >> 52)
        b |= (static_cast<uint64_t>(r.exponent + 52 + 1023) << 52) | (r.significand & 0xFFFFFFFFFFFFFull);
    else
        b |= r.significand;  // subnormal or zero
    return fromBits(b);
}

// The correctly rounded f(x) by the multiple-precision evaluation.
double exactly(tlWideFunction f, double x) {
    const uint64_t b = bitsOf(x);
    const int32_t e = static_cast<int32_t>((b >> 52) & 0x7FF);
    const uint64_t m = (b & 0xFFFFFFFFFFFFFull) | (e != 0 ? 1ull << 52 : 0);
    const fpm::detail::tlBinaryNumber number = {m, (e == 0 ? 1 : e) - 1075, (b >> 63) != 0};
    return fromNumber(fpm::detail::correctlyRounded(f, number, 53, -1074));
}

// x = n·π/2 + y0 + y1 for |x| < 2^20·π/2. n is x·2/π rounded; x − n·part1
// is exact (Sterbenz), and the later parts are taken off with exact sums so
// that even the closest doubles to multiples of π/2 keep 60 good bits.
int32_t reduceMedium(double x, double &y0, double &y1) {
    const double fn = (x * kInvPio2 + kRoundToInteger) - kRoundToInteger;
    const double r = x - fn * kPio2Part1;
    double a, ea, b, eb;
    twoSum(r, -(fn * kPio2Part2), a, ea);
    twoSum(a, -(fn * kPio2Part3), b, eb);
    twoSum(b, (ea + eb) - fn * kPio2Part4, y0, y1);
    return static_cast<int32_t>(fn);
}

// The 64 bits of the 256-bit number limb[0] (lowest) .. limb[3] that start at
// bit pos (0 <= pos < 256).
uint64_t bitWindow(const uint64_t limb[4], int32_t pos) {
    const int32_t k = pos / 64, s = pos % 64;
    uint64_t w = limb[k] >> s;
    if (s != 0 && k + 1 < 4) w |= limb[k + 1] << (64 - s);
    return w;
}

// 192 bits of 2/π after its first skip bits, most significant word first.
void twoOverPiWindow(int32_t skip, uint64_t w[3]) {
    const int32_t j = skip / 64, s = skip % 64;
    for (int32_t k = 0; k < 3; ++k)
        w[k] = s == 0 ? fpm::detail::kTwoOverPi[j + k]
                      : (fpm::detail::kTwoOverPi[j + k] << s) | (fpm::detail::kTwoOverPi[j + k + 1] >> (64 - s));
}

// f·2^−128 for a 128-bit f (hi, lo words) as y0 + y1, keeping its top 106 bits.
void fractionToDouble(uint64_t hi, uint64_t lo, double &y0, double &y1) {
    if (hi == 0 && lo == 0) {
        y0 = y1 = 0.0;
        return;
    }
    int32_t shift = 0;  // leading zeros of the 128 bits
    while (hi == 0) hi = lo, lo = 0, shift += 64;
    while (!(hi >> 63)) hi = (hi << 1) | (lo >> 63), lo <<= 1, ++shift;
    const uint64_t top = hi >> 11;                             // 53 bits
    const uint64_t next = ((hi & 0x7FFu) << 42) | (lo >> 22);  // the 53 after them
    const double h = static_cast<double>(top) * powerOfTwo(-53 - shift);
    const double l = static_cast<double>(next) * powerOfTwo(-106 - shift);
    fastTwoSum(h, l, y0, y1);
}

// x = n·π/2 + y0 + y1 for large finite x >= 2^20·π/2 (Payne–Hanek): with x =
// m·2^e, the bits of 2/π that make m·2^e·(2/π) a multiple of 8 are skipped,
// the next 192 multiplied by m in integers; the integer part gives n mod 8,
// the next 128 bits the fraction, which becomes y after × π/2.
int32_t reduceLarge(double x, double &y0, double &y1) {
    const uint64_t bits = bitsOf(x);
    const int32_t e = static_cast<int32_t>((bits >> 52) & 0x7FF) - 1075;
    const uint64_t m = (bits & 0xFFFFFFFFFFFFFull) | (1ull << 52);
    const int32_t skip = e > 3 ? e - 3 : 0;
    uint64_t w[3];
    twoOverPiWindow(skip, w);
    // m·w: 245 bits in four words, lowest first.
    typedef unsigned __int128 u128;
    const u128 t2 = static_cast<u128>(m) * w[2];
    const u128 t1 = static_cast<u128>(m) * w[1] + (t2 >> 64);
    const u128 t0 = static_cast<u128>(m) * w[0] + (t1 >> 64);
    const uint64_t limb[4] = {static_cast<uint64_t>(t2), static_cast<uint64_t>(t1), static_cast<uint64_t>(t0),
                              static_cast<uint64_t>(t0 >> 64)};
    const int32_t point = 192 + skip - e;  // bits below the binary point: 189 .. 224
    int32_t n = static_cast<int32_t>(bitWindow(limb, point) & 7u);
    uint64_t fHi = bitWindow(limb, point - 64), fLo = bitWindow(limb, point - 128);
    bool negative = false;
    if (fHi >> 63) {  // fraction >= 1/2: take 1 − fraction from the next n
        ++n;
        negative = true;
        fHi = ~fHi, fLo = ~fLo;
        if (++fLo == 0) ++fHi;
    }
    double f0, f1, p, pe;
    fractionToDouble(fHi, fLo, f0, f1);
    twoProduct(f0, kPio2Hi, p, pe);
    pe += f0 * kPio2Lo + f1 * kPio2Hi;
    fastTwoSum(p, pe, y0, y1);
    if (negative) y0 = -y0, y1 = -y1;
    return n;
}

// x = n·π/2 + y0 + y1 with |y0| <= π/4 + 2^−30, |y1| <= 2^−53·|y0|, for finite
// x; only n mod 4 matters to the callers. error bounds |y0 + y1 − (x − n·π/2)|:
// 0 for |x| < π/4 (y0 = x); below 2^20·π/2 the parts of π/2 beyond the third
// leave the rounding of fn·part4 (2^−137), the rounding of the exact sums'
// error terms (2^−105 each) and part4's own error times fn (2^−137), under
// 2^−103 together; above, the 2/π bits left out and the 128-bit fraction
// (2^−127 after × π/2), the fraction's 106 kept bits and the product by π/2
// (2^−102·|y|).
int32_t reduce(double x, double &y0, double &y1, double &error) {
    const double ax = x < 0.0 ? -x : x;
    if (ax < kMediumLimit) {
        const int32_t n = reduceMedium(x, y0, y1);
        error = n == 0 ? 0.0 : 0x1p-103;
        return n;
    }
    const int32_t n = reduceLarge(ax, y0, y1);
    error = 0x1p-126 + 0x1p-100 * (y0 < 0.0 ? -y0 : y0);
    if (x > 0.0) return n;
    y0 = -y0, y1 = -y1;
    return -n;
}

// sin and cos of y = y0 + y1 (|y0| <= π/4 + 2^−30, |y1| <= 2^−53·|y0|), each
// as hi + lo. With a = k/256 the grid point next to |y0| and t = |y0| − a
// (exact, |t| <= 2^−9), t1 = ±y1, S + C = sin a, cos a from the table:
//   sin(a + t + t1) = S + C·t + [S·cm + C·sm + C·t1·cos t − S·t·t1]
//   cos(a + t + t1) = C − S·t + [C·cm − S·sm − S·t1·cos t − C·t·t1]
// with sm = sin t − t, cm = cos t − 1 (dropped: terms in t1·t³ and t1²,
// below 2^−79). S + C·t is formed exactly; the bracket holds terms below
// 2^−18 of the result, each with a relative error below 5·2^−53, summed with
// six roundings of at most 2^−53 of 2^−18 of the result. Error: below 2^−67
// of the result (the result is at least half of S, or t when k = 0).
void sinCosKernel(double y0, double y1, double &sh, double &sl, double &ch, double &cl) {
    const bool negative = y0 < 0.0;
    const double ay = negative ? -y0 : y0, t1 = negative ? -y1 : y1;
    const int32_t k = static_cast<int32_t>(ay * 256.0 + 0.5);
    const double t = ay - k * (1.0 / 256);
    const tlSinCosEntry &a = kSinCosTable[k];
    const double z = t * t;
    const double sm = (t * z) * (kSin3 + z * (kSin5 + z * kSin7));
    const double cm = z * (-0.5 + z * (kCos4 + z * kCos6));
    const double tt1 = t * t1, w1 = t1 + t1 * cm;  // t·t1, t1·cos t
    double p, pe, s, se;
    twoProduct(a.cosHi, t, p, pe);
    fastTwoSum(a.sinHi, p, s, se);  // |p| <= 2^−9 < sin(1/256), or sinHi = 0
    const double sinRest = (((a.sinLo + a.cosLo * t) + (a.cosHi * w1 - a.sinHi * tt1)) + a.cosHi * sm) + a.sinHi * cm;
    fastTwoSum(s, se + (pe + sinRest), sh, sl);
    double q, qe, c, ce;
    twoProduct(a.sinHi, t, q, qe);
    fastTwoSum(a.cosHi, -q, c, ce);
    const double cosRest = (((a.cosLo - a.sinLo * t) - (a.sinHi * w1 + a.cosHi * tt1)) - a.sinHi * sm) + a.cosHi * cm;
    fastTwoSum(c, ce + (cosRest - qe), ch, cl);
    if (negative) sh = -sh, sl = -sl;
}

// The kernel's bound with room to spare: 2^−66 of the result.
constexpr double kKernelError = 0x1p-66;

// atan of x0 + x1 in 0 .. 1 (or π/2 − that, rest), as hi + lo: the grid point
// c = k/64 next to x0, t = (x − c)/(1 + x·c) carried as t0 + t1 (relative
// error below 2^−76), atan x = atan c + t − t³/3 + … with the table's atan c
// (or π/2 − atan c) as hi + lo. The tail t³·(…) is below 2^−22.5 and has a
// relative error below 5·2^−53 (2^−73.3); it and the final sum round twice
// more (2^−75.5 each); the series stops below 2^−80.5. Together below 2^−72.5,
// which is 2^−65.5 of a result of at least 2^−7; for k = 0 every term scales
// with t and the error stays below 2^−65.7 of the result.
void atanNear(double x0, double x1, bool rest, double &hi, double &lo) {
    const int32_t k = static_cast<int32_t>(x0 * 64.0 + 0.5);
    const double c = k * (1.0 / 64);
    double nh, nl;  // x − c: x0 − c is exact (Sterbenz, or c = 0)
    twoSum(x0 - c, x1, nh, nl);
    double xh, xl;  // x0·c = xh·c + xl·c exactly: c has at most 7 bits
    split(x0, xh, xl);
    double p, pe, dh, dl;
    fastTwoSum(xh * c, xl * c + x1 * c, p, pe);
    fastTwoSum(1.0, p, dh, dl);
    dl += pe;
    const double t0 = nh / dh;
    double qh, ql;
    twoProduct(t0, dh, qh, ql);
    const double t1 = ((((nh - qh) - ql) + nl) - t0 * dl) / dh;
    const double u = t0 * t0;
    // atan t = t − t³/3 + t⁵/5 − t⁷/7 + t⁹/9, |t| <= 1/128.
    const double tail = t1 * (1.0 - u) + (t0 * u) * (-1.0 / 3 + u * (1.0 / 5 + u * (-1.0 / 7 + u * (1.0 / 9))));
    const tlAtanEntry &a = kAtanTable[k];
    double s, e;
    if (rest) {
        twoSum(a.restHi, -t0, s, e);
        fastTwoSum(s, (e + a.restLo) - tail, hi, lo);
    } else {
        twoSum(a.atanHi, t0, s, e);
        fastTwoSum(s, (e + a.atanLo) + tail, hi, lo);
    }
}

constexpr double kAtanError = 0x1p-64;

// sin and cos of finite, not tiny x, each by the fast evaluation when its
// bound decides the rounding, else exactly.
void sinCosOf(double x, double *s, double *c) {
    double y0, y1, error;
    const int32_t n = reduce(x, y0, y1, error) & 3;
    double sh, sl, ch, cl;
    sinCosKernel(y0, y1, sh, sl, ch, cl);
    // sin x by quadrant: sin y, cos y, −sin y, −cos y; cos x: cos y, −sin y, −cos y, sin y.
    const double sinY = n & 1 ? ch : sh, sinYLow = n & 1 ? cl : sl;
    const double cosY = n & 1 ? sh : ch, cosYLow = n & 1 ? sl : cl;
    if (s) {
        const bool ok = roundsToHi(sinY, sinYLow, kKernelError * (sinY < 0.0 ? -sinY : sinY) + error);
        *s = !ok ? exactly(tlWideFunction::sine, x) : n >= 2 ? -sinY : sinY;
    }
    if (c) {
        const bool ok = roundsToHi(cosY, cosYLow, kKernelError * (cosY < 0.0 ? -cosY : cosY) + error);
        *c = !ok ? exactly(tlWideFunction::cosine, x) : (n == 1 || n == 2) ? -cosY : cosY;
    }
}

}  // namespace

namespace fpm {

// Below 2^−27, x³/6 and x²/2 are under 2^−54 of x and 1, less than half the
// gap to the neighbours: sin x rounds to x and cos x to 1. Answering early
// also keeps the sign of −0.
double sin(double x) {
    if (!isFinite(x)) return x - x;
    if (isTiny(x)) return x;
    double s;
    sinCosOf(x, &s, nullptr);
    return s;
}

double cos(double x) {
    if (!isFinite(x)) return x - x;
    if (isTiny(x)) return 1.0;
    double c;
    sinCosOf(x, nullptr, &c);
    return c;
}

void sinCos(double x, double &s, double &c) {
    if (!isFinite(x)) {
        s = c = x - x;
        return;
    }
    if (isTiny(x)) {
        s = x, c = 1.0;
        return;
    }
    sinCosOf(x, &s, &c);
}

// Below 2^−27, x³/3 is under half the gap next to x; from 2^54 on, π/2 − 1/x
// is within a quarter ulp above kPio2Hi. Between: |x| <= 1 on the grid of x,
// beyond as π/2 − atan(1/x) with 1/x carried as two doubles (to 2^−104).
double atan(double x) {
    if (x != x) return x + x;
    const bool negative = (bitsOf(x) >> 63) != 0;  // −0 included
    const double ax = negative ? -x : x;
    if (isTiny(ax)) return x;
    double hi, lo;
    if (ax <= 1.0) {
        atanNear(ax, 0.0, false, hi, lo);
    } else if (ax < 0x1p54) {
        const double u0 = 1.0 / ax;
        double ph, pl;
        twoProduct(u0, ax, ph, pl);
        const double u1 = ((1.0 - ph) - pl) / ax;
        atanNear(u0, u1, true, hi, lo);
    } else {
        return negative ? -kPio2Hi : kPio2Hi;
    }
    if (!roundsToHi(hi, lo, kAtanError * hi)) return exactly(tlWideFunction::arctangent, x);
    return negative ? -hi : hi;
}

}  // namespace fpm
