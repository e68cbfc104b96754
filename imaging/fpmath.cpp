// Deterministic sin, cos and atan in double, exp, log, sin and cos in long
// double: argument reduction and polynomial kernels in plain arithmetic, with
// exact error terms (Dekker products, two-sums) where a rounding would
// otherwise reach the last bit.
#include "imaging/fpmath.h"

#include <cfloat>
#include <cstdint>
#include <cstring>

namespace {

// π/2 in four parts. The first three have 33 significant bits, so n·part is
// exact for n < 2^20; the fourth is the rest rounded.
constexpr double kPio2Part1 = 0x1.921fb544p+0;
constexpr double kPio2Part2 = 0x1.0b4611a6p-34;
constexpr double kPio2Part3 = 0x1.3198a2ep-69;
constexpr double kPio2Part4 = 0x1.b839a252049c1p-104;
constexpr double kPio2Hi = 0x1.921fb54442d18p+0;  // π/2 = hi + lo to 107 bits
constexpr double kPio2Lo = 0x1.1a62633145c07p-54;
constexpr double kInvPio2 = 0x1.45f306dc9c883p-1;  // 2/π rounded
constexpr double kRoundToInteger = 0x1.8p52;       // (v + this) − this = v to nearest, |v| < 2^51
constexpr double kMediumLimit = 0x1.921fb54442d18p+20;  // 2^20·π/2

// 2/π = 0.a2f9836e4e44… in binary, 16640 bits (enough to reduce the largest
// long double), most significant word first.
constexpr uint64_t kTwoOverPi[260] = {
    0xa2f9836e4e441529ull, 0xfc2757d1f534ddc0ull, 0xdb6295993c439041ull, 0xfe5163abdebbc561ull,
    0xb7246e3a424dd2e0ull, 0x06492eea09d1921cull, 0xfe1deb1cb129a73eull, 0xe88235f52ebb4484ull,
    0xe99c7026b45f7e41ull, 0x3991d639835339f4ull, 0x9c845f8bbdf9283bull, 0x1ff897ffde05980full,
    0xef2f118b5a0a6d1full, 0x6d367ecf27cb09b7ull, 0x4f463f669e5fea2dull, 0x7527bac7ebe5f17bull,
    0x3d0739f78a5292eaull, 0x6bfb5fb11f8d5d08ull, 0x56033046fc7b6babull, 0xf0cfbc209af4361dull,
    0xa9e391615ee61b08ull, 0x6599855f14a06840ull, 0x8dffd8804d732731ull, 0x06061556ca73a8c9ull,
    0x60e27bc08c6b47c4ull, 0x19c367cddce8092aull, 0x8359c4768b961ca6ull, 0xddaf44d15719053eull,
    0xa5ff07053f7e33e8ull, 0x32c2de4f98327dbbull, 0xc33d26ef6b1e5ef8ull, 0x9f3a1f35caf27f1dull,
    0x87f121907c7c246aull, 0xfa6ed5772d30433bull, 0x15c614b59d19c3c2ull, 0xc4ad414d2c5d000cull,
    0x467d862d71e39ac6ull, 0x9b0062337cd2b497ull, 0xa7b4d55537f63ed7ull, 0x1810a3fc764d2a9dull,
    0x64abd770f87c6357ull, 0xb07ae715175649c0ull, 0xd9d63b3884a7cb23ull, 0x24778ad623545ab9ull,
    0x1f001b0af1dfce19ull, 0xff319f6a1e666157ull, 0x9947fbacd87f7eb7ull, 0x652289e83260bfe6ull,
    0xcdc4ef09366cd43full, 0x5dd7de16de3b5892ull, 0x9bde2822d2e88628ull, 0x4d58e232cac616e3ull,
    0x08cb7de050c017a7ull, 0x1df35be01834132eull, 0x6212830148835b8eull, 0xf57fb0adf2e91e43ull,
    0x4a48d36710d8ddaaull, 0x425faece616aa428ull, 0x0ab499d3f2a6067full, 0x775c83c2a3883c61ull,
    0x78738a5a8cafbdd7ull, 0x6f63a62dcbbff4efull, 0x818d67c12645ca55ull, 0x36d9cad2a8288d61ull,
    0xc277c9121426049bull, 0x4612c459c444c5c8ull, 0x91b24df31700ad43ull, 0xd4e5492910d5fdfcull,
    0xbe00cc941eeece70ull, 0xf53e1380f1ecc3e7ull, 0xb328f8c79405933eull, 0x71c1b3092ef3450bull,
    0x9c12887b20ab9fb5ull, 0x2ec292472f327b6dull, 0x550c90a7721fe76bull, 0x96cb314a1679e279ull,
    0x4189dff49794e884ull, 0xe6e29731996bed88ull, 0x365f5f0efdbbb49aull, 0x486ca46742727132ull,
    0x5d8db8159f09e5bcull, 0x25318d3974f71c05ull, 0x30010c0d68084b58ull, 0xee2c90aa4702e774ull,
    0x24d6bda67df77248ull, 0x6eef169fa6948ef6ull, 0x91b45153d1f20acfull, 0x3398207e4bf56863ull,
    0xb25f3edd035d407full, 0x8985295255c06437ull, 0x10d86d324832754cull, 0x5bd4714e6e5445c1ull,
    0x090b69f52ad56614ull, 0x9d072750045ddb3bull, 0xb4c576ea17f9877dull, 0x6b49ba271d296996ull,
    0xacccc65414ad6ae2ull, 0x9089d98850722cbeull, 0xa4049407777030f3ull, 0x27fc00a871ea49c2ull,
    0x663de06483dd9797ull, 0x3fa3fd94438c860dull, 0xde41319d39928c70ull, 0xdde7b7173bdf082bull,
    0x3715a0805c93805aull, 0x921110d8e80faf80ull, 0x6c4bffdb0f903876ull, 0x185915a562bbcb61ull,
    0xb989c7bd401004f2ull, 0xd2277549f6b6ebbbull, 0x22dbaa140a2f2689ull, 0x768364333b091a94ull,
    0x0eaa3a51c2a31daeull, 0xedaf12265c4dc26dull, 0x9c7a2d9756c0833full, 0x03f6f0098c402b99ull,
    0x316d07b43915200cull, 0x5bc3d8c492f54badull, 0xc6a5ca4ecd37a736ull, 0xa9e69492ab6842ddull,
    0xde6319ef8c76528bull, 0x6837dbfcaba1ae31ull, 0x15dfa1ae00dafb0cull, 0x664d64b705ed3065ull,
    0x29bf56573aff47b9ull, 0xf96af3be75df9328ull, 0x3080abf68c6615cbull, 0x040622fa1de4d9a4ull,
    0xb33d8f1b5709cd36ull, 0xe9424ea4be13b523ull, 0x331aaaf0a8654fa5ull, 0xc1d20f3f0bcd785bull,
    0x76f923048b7b7217ull, 0x8953a6c6e26e6f00ull, 0xebef584a9bb7dac4ull, 0xba66aacfcf761d02ull,
    0xd12df1b1c1998c77ull, 0xadc3da4886a05df7ull, 0xf480c62ff0ac9aecull, 0xddbc5c3f6dded01full,
    0xc790b6db2a3a25a3ull, 0x9aaf009353ad0457ull, 0xb6b42d297e804ba7ull, 0x07da0eaa76a1597bull,
    0x2a12162db7dcfde5ull, 0xfafedb89fdbe896cull, 0x76e4fca90670803eull, 0x156e85ff87fd073eull,
    0x2833676186182aeaull, 0xbd4dafe7b36e6d8full, 0x3967955bbf3148d7ull, 0x8416df30432dc735ull,
    0x6125ce70c9b8cb30ull, 0xfd6cbfa200a4e46cull, 0x05a0dd5a476f21d2ull, 0x1262845cb9496170ull,
    0xe0566b0152993755ull, 0x50b7d51ec4f1335full, 0x6e13e4305da92e85ull, 0xc3b21d3632a1a4b7ull,
    0x08d4b1ea21f716e4ull, 0x698f77ff2780030cull, 0x2d408da0cd4f99a5ull, 0x20d3a2b30a5d2f42ull,
    0xf9b4cbda11d0be7dull, 0xc1db9bbd17ab81a2ull, 0xca5c6a0817552e55ull, 0x0027f0147f8607e1ull,
    0x640b148d4196debeull, 0x872afddab6256b34ull, 0x897bfef3059ebfb9ull, 0x4f6a68a82a4a5ac4ull,
    0x4fbcf82d985ad795ull, 0xc7f48d4d0da63a20ull, 0x5f57a4b13f149538ull, 0x800120cc86dd71b6ull,
    0xdec9f560bf11654dull, 0x6b0701acb08cd0c0ull, 0xb24855510efb1ec3ull, 0x72953b06a33540c0ull,
    0x7bdc06cc45e0fa29ull, 0x4ec8cad641f3e8deull, 0x647cd8649b31bed9ull, 0xc397a4d45877c5e3ull,
    0x6913daf03c3aba46ull, 0x18465f7555f5bdd2ull, 0xc6926e5d2eaced44ull, 0x0e423e1c87c461e9ull,
    0xfd29f3d6e7ca7c22ull, 0x35916fc5e0088dd7ull, 0xffe26a6ec6fdb0c1ull, 0x0893745d7cb2ad6bull,
    0x9d6ecd7b723e6a11ull, 0xc6a9cff7df7329baull, 0xc9b55100b70db2e2ull, 0x24ba74607de58ad8ull,
    0x742c150d0c188194ull, 0x667e162901767a9full, 0xbefdfdef4556367eull, 0xd913d9ecb9ba8bfcull,
    0x97c427a831c36ef1ull, 0x36c59456a8d8b5a8ull, 0xb40ecccf2d891234ull, 0x576f89562ce3ce99ull,
    0xb920d6aa5e6b9c2aull, 0x3ecc5f114a0bfdfbull, 0xf4e16d3b8e2c86e2ull, 0x84d4e9a9b4fcd1eeull,
    0xefc9352e61392f44ull, 0x2138c8d91b0afc81ull, 0x6a4afbd81c2f84b4ull, 0x538c994ecc2254dcull,
    0x552ad6c6c096190bull, 0xb8701a649569605aull, 0x26ee523f0f117f11ull, 0xb5f4f5cbfc2dbc34ull,
    0xeebc34cc5de8605eull, 0xdd9b8e67ef3392b8ull, 0x17c99b5861bc57e1ull, 0xc68351103ed84871ull,
    0xdddd1c2da118af46ull, 0x2c21d7f359987ad9ull, 0xc0549efa864ffc06ull, 0x56ae79e536228922ull,
    0xad38dc9367aae855ull, 0x3826829be7caa40dull, 0x51b133990ed7a948ull, 0x0569f0b265a7887full,
    0x974c8836d1f9b392ull, 0x214a827b21cf98dcull, 0x9f405547dc3a74e1ull, 0x42eb67df9dfe5fd4ull,
    0x5ea4677b7aacbaa2ull, 0xf65523882b55ba41ull, 0x086e59862a218347ull, 0x39e6e389d49ee540ull,
    0xfb49e956ffca0f1cull, 0x8a59c52bfa94c5c1ull, 0xd3cfc50fae5adb86ull, 0xc5476243853b8621ull,
    0x94792c8761107b4cull, 0x2a1a2c8012bf4390ull, 0x2688893c78e4c4a8ull, 0x7bdbe5c23ac4eaf4ull,
    0x268a67f7bf920d2bull, 0xa365b1933d0b7cbdull, 0xdc51a463dd27dde1ull, 0x6919949a9529a828ull,
    0xce68b4ed09209f44ull, 0xca984e638270237cull, 0x7e32b90f8ef5a7e7ull, 0x561408f1212a9db5ull,
    0x4d7e6f5119a5abf9ull, 0xb5d6df8261dd9602ull, 0x36169f3ac4a1a283ull, 0x6ded727a8d39a9b8ull,
    0x825c326b5b2746edull, 0x34007700d255f4fcull, 0x4d59018071e0e13full, 0x89b295f364a8f1aeull,
};

// Taylor coefficients (−1)^k/(2k+1)! and (−1)^k/(2k)!: on |y| <= π/4 the
// first omitted terms are below 2^−63 of the result.
constexpr double kS3 = -0x1.5555555555555p-3, kS5 = 0x1.1111111111111p-7, kS7 = -0x1.a01a01a01a01ap-13,
                 kS9 = 0x1.71de3a556c734p-19, kS11 = -0x1.ae64567f544e4p-26, kS13 = 0x1.6124613a86d09p-33,
                 kS15 = -0x1.ae7f3e733b81fp-41, kS17 = 0x1.952c77030ad4ap-49;
constexpr double kS3Lo = -0x1.5555555555555p-57;  // −1/6 − kS3
constexpr double kC4 = 0x1.5555555555555p-5, kC6 = -0x1.6c16c16c16c17p-10, kC8 = 0x1.a01a01a01a01ap-16,
                 kC10 = -0x1.27e4fb7789f5cp-22, kC12 = 0x1.1eed8eff8d898p-29, kC14 = -0x1.93974a8c07c9dp-37,
                 kC16 = 0x1.ae7f3e733b81fp-45, kC18 = -0x1.6827863b97d97p-53;

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
        w[k] = s == 0 ? kTwoOverPi[j + k] : (kTwoOverPi[j + k] << s) | (kTwoOverPi[j + k + 1] >> (64 - s));
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
    const uint64_t top = hi >> 11;                                // 53 bits
    const uint64_t next = ((hi & 0x7FFu) << 42) | (lo >> 22);     // the 53 after them
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

// x = n·π/2 + y0 + y1 with |y0 + y1| <= about π/4, for finite x; only n mod
// 4 matters to the callers.
int32_t reduce(double x, double &y0, double &y1) {
    const double ax = x < 0.0 ? -x : x;
    if (ax < kMediumLimit) return reduceMedium(x, y0, y1);
    const int32_t n = reduceLarge(ax, y0, y1);
    if (x > 0.0) return n;
    y0 = -y0, y1 = -y1;
    return -n;
}

// sin(y0 + y1) for |y0| <= about π/4, |y1| tiny: y0 − y0³/6 + y0⁵·S(y0²) +
// y1·cos y0. y0³/6 is up to a tenth of the result, so it is formed to about
// 100 bits (exact products, −1/6 as hi + lo) and only the final sum rounds.
// z + zl = y0² exactly, shared with cosKernel.
double sinKernel(double y0, double y1, double z, double zl) {
    double v, vl, w, wl;
    twoProduct(z, y0, v, vl);
    vl += zl * y0;
    twoProduct(v, kS3, w, wl);
    wl += v * kS3Lo + vl * kS3;
    const double s = kS5 + z * (kS7 + z * (kS9 + z * (kS11 + z * (kS13 + z * (kS15 + z * kS17)))));
    double r, re;
    twoSum(y0, w, r, re);
    return r + (re + (wl + ((v * z) * s + y1 * (1.0 - 0.5 * z))));
}

// cos(y0 + y1): 1 − y0²/2 + y0⁴·C(y0²) − y1·y0. y0² is formed exactly and the
// rounding of 1 − y0²/2 kept, since that term alone is as large as the result.
double cosKernel(double y0, double y1, double z, double zl) {
    const double hz = 0.5 * z;
    const double w = 1.0 - hz;
    const double c = kC4 + z * (kC6 + z * (kC8 + z * (kC10 + z * (kC12 + z * (kC14 + z * (kC16 + z * kC18))))));
    return w + ((((1.0 - w) - hz) - 0.5 * zl) + ((z * z) * c - y0 * y1));
}

bool isFinite(double x) { return (bitsOf(x) & 0x7FF0000000000000ull) != 0x7FF0000000000000ull; }

bool isTiny(double x) { return (bitsOf(x) & 0x7FFFFFFFFFFFFFFFull) < bitsOf(0x1p-27); }

// atan(num/(1 + x·c)) + table for the grid point c = k/64 next to x, x in 0 .. 1
// given as x0 + x1; the quotient is carried to about 100 bits.
double atanNear(double x0, double x1, bool rest) {
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
    // atan t = t − t³/3 + t⁵/5 − t⁷/7 + t⁹/9, |t| <= 1/128: the rest is below 2^−70·t.
    const double tail = t1 + (t0 * u) * (-1.0 / 3 + u * (1.0 / 5 + u * (-1.0 / 7 + u * (1.0 / 9))));
    const tlAtanEntry &a = kAtanTable[k];
    double s, e;
    if (rest) {
        twoSum(a.restHi, -t0, s, e);
        return s + ((e + a.restLo) - tail);
    }
    twoSum(a.atanHi, t0, s, e);
    return s + ((e + a.atanLo) + tail);
}


// ---- long double ----------------------------------------------------------

static_assert(LDBL_MANT_DIG == 64 && sizeof(long double) >= 10, "the extended functions need the x87 80-bit format");

typedef long double real;

// ln 2 = kLn2Hi + kLn2Lo to 112 bits; kLn2Hi has 48 significant bits, so
// n·kLn2Hi is exact for |n| < 2^16.
constexpr real kLn2Hi = 0xb17217f7d1cf0000p-64L;
constexpr real kLn2Lo = 0xf35793c7673007e6p-113L;
constexpr real kInvLn2 = 0xb8aa3b295c17f0bcp-63L;
constexpr real kExpOverflow = 11356.5234062941439488L;  // above ln(LDBL_MAX)
constexpr real kExpUnderflow = -11400.0L;              // below ln of the smallest subnormal
constexpr real kSqrt2 = 1.41421356237309504880L;
constexpr real kRoundToIntegerL = 0xc000000000000000p0L;  // 3·2^62: (v + this) − this rounds v, |v| < 2^62

// π/2 in four parts; the first three have 44 significant bits, so n·part is
// exact for n <= 2^20.
constexpr real kPio2Part1L = 0xc90fdaa221700000p-63L;
constexpr real kPio2Part2L = -0xe7b9676733b00000p-108L;
constexpr real kPio2Part3L = 0xb80dc1cd12900000p-155L;
constexpr real kPio2Part4L = 0x93822299f31d0083p-205L;
constexpr real kPio2HiL = 0xc90fdaa22168c235p-63L;  // π/2 = hi + lo to 128 bits
constexpr real kPio2LoL = -0xece675d1fc8f8cbbp-129L;
constexpr real kInvPio2L = 0xa2f9836e4e44152ap-64L;
constexpr real kMediumLimitL = 0x1.921fb54442d18p+20L;  // just under 2^20·π/2

// 1/k! for exp; (−1)^k/(2k+1)! and (−1)^k/(2k)! for sin and cos, all rounded.
constexpr real kE2 = 0x8000000000000000p-64L, kE3 = 0xaaaaaaaaaaaaaaabp-66L, kE4 = 0xaaaaaaaaaaaaaaabp-68L,
               kE5 = 0x8888888888888889p-70L, kE6 = 0xb60b60b60b60b60bp-73L, kE7 = 0xd00d00d00d00d00dp-76L,
               kE8 = 0xd00d00d00d00d00dp-79L, kE9 = 0xb8ef1d2ab6399c7dp-82L, kE10 = 0x93f27dbbc4fae397p-85L,
               kE11 = 0xd7322b3faa271c7fp-89L, kE12 = 0x8f76c77fc6c4bdaap-92L, kE13 = 0xb092309d43684be5p-96L,
               kE14 = 0xc9cba54603e4e906p-100L, kE15 = 0xd73f9f399dc0f88fp-104L, kE16 = 0xd73f9f399dc0f88fp-108L,
               kE17 = 0xca963b81856a5359p-112L, kE18 = 0xb413c31dcbecbbdep-116L;
constexpr real kSL3 = -0xaaaaaaaaaaaaaaabp-66L, kSL3Lo = 0xaaaaaaaaaaaaaaabp-131L, kSL5 = 0x8888888888888889p-70L,
               kSL7 = -0xd00d00d00d00d00dp-76L, kSL9 = 0xb8ef1d2ab6399c7dp-82L, kSL11 = -0xd7322b3faa271c7fp-89L,
               kSL13 = 0xb092309d43684be5p-96L, kSL15 = -0xd73f9f399dc0f88fp-104L, kSL17 = 0xca963b81856a5359p-112L,
               kSL19 = -0x97a4da340a0ab926p-120L, kSL21 = 0xb8dc77b6e7ab8c5fp-129L, kSL23 = -0xbb0da098b1c0ceccp-138L;
constexpr real kCL4 = 0xaaaaaaaaaaaaaaabp-68L, kCL6 = -0xb60b60b60b60b60bp-73L, kCL8 = 0xd00d00d00d00d00dp-79L,
               kCL10 = -0x93f27dbbc4fae397p-85L, kCL12 = 0x8f76c77fc6c4bdaap-92L, kCL14 = -0xc9cba54603e4e906p-100L,
               kCL16 = 0xd73f9f399dc0f88fp-108L, kCL18 = -0xb413c31dcbecbbdep-116L, kCL20 = 0xf2a15d201011283dp-125L,
               kCL22 = -0x8671cb6dbfc294a3p-133L;

// The x87 layout: 64-bit significand with its explicit leading bit, then
// sign and 15-bit exponent (bias 16383).
void unpack(real x, uint64_t &significand, uint16_t &signExponent) {
    unsigned char b[sizeof(real)];
    std::memcpy(b, &x, sizeof x);
    std::memcpy(&significand, b, 8);
    std::memcpy(&signExponent, b + 8, 2);
}

real pack(uint64_t significand, uint16_t signExponent) {
    unsigned char b[sizeof(real)] = {};
    std::memcpy(b, &significand, 8);
    std::memcpy(b + 8, &signExponent, 2);
    real x;
    std::memcpy(&x, b, sizeof x);
    return x;
}

// 2^k for −16382 <= k <= 16383.
real powerOfTwoL(int32_t k) { return pack(1ull << 63, static_cast<uint16_t>(k + 16383)); }

// v·2^k exactly, for results in the normal range.
real scaledInteger(uint64_t v, int32_t k) {
    if (v == 0) return 0.0L;
    int32_t shift = 0;
    while (!(v >> 63)) v <<= 1, ++shift;
    return pack(v, static_cast<uint16_t>(k - shift + 63 + 16383));
}

real infinityL() { return pack(1ull << 63, 0x7FFF); }
real quietNaNL() { return pack(0xC000000000000000ull, 0x7FFF); }

bool isFiniteL(real x) {
    uint64_t m;
    uint16_t se;
    unpack(x, m, se);
    return (se & 0x7FFF) != 0x7FFF;
}

// Below 2^−33, x³/6 and x²/2 are under half a unit in the last place of x and 1.
bool isTinyL(real x) {
    uint64_t m;
    uint16_t se;
    unpack(x, m, se);
    return (se & 0x7FFF) < 16383 - 33;
}

inline void twoSumL(real a, real b, real &s, real &e) {
    s = a + b;
    const real bv = s - a;
    e = (a - (s - bv)) + (b - bv);
}

inline void fastTwoSumL(real a, real b, real &s, real &e) {
    s = a + b;
    e = b - (s - a);
}

// a = hi + lo, hi holding the top 32 bits (|a| well below the overflow limit).
inline void splitL(real a, real &hi, real &lo) {
    const real c = 4294967297.0L * a;  // 2^32 + 1
    hi = c - (c - a);
    lo = a - hi;
}

inline void twoProductL(real a, real b, real &p, real &e) {
    p = a * b;
    real ah, al, bh, bl;
    splitL(a, ah, al);
    splitL(b, bh, bl);
    e = ((ah * bh - p) + ah * bl + al * bh) + al * bl;
}

// The x87 precision control is raised to 64 bits around each computation and
// the caller's restored after it. Arguments are read and results stored
// through volatile objects between the two control word loads, so no part
// of the computation can be moved outside them.
#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))
inline uint16_t raisePrecision() {
    uint16_t saved;
    __asm__ __volatile__("fnstcw %0" : "=m"(saved) : : "memory");
    const uint16_t extended = static_cast<uint16_t>(saved | 0x0300u);
    __asm__ __volatile__("fldcw %0" : : "m"(extended) : "memory");
    return saved;
}

inline void restorePrecision(uint16_t saved) { __asm__ __volatile__("fldcw %0" : : "m"(saved) : "memory"); }
#else
inline uint16_t raisePrecision() { return 0; }
inline void restorePrecision(uint16_t) {}
#endif

real withExtendedPrecision(real (*f)(real), real x) {
    const uint16_t saved = raisePrecision();
    volatile real in = x;
    volatile real out = f(in);
    restorePrecision(saved);
    return out;
}

// e^x = 2^n·e^r, r = x − n·ln 2 carried as rh + rl, |rh| <= ln2/2;
// e^rh = 1 + rh + rh²·(1/2 + rh/6 + …), 17 terms leave under 2^−74.
real expCore(real x) {
    if (x != x) return x + x;
    if (x > kExpOverflow) return infinityL();
    if (x < kExpUnderflow) return 0.0L;
    const real fn = (x * kInvLn2 + kRoundToIntegerL) - kRoundToIntegerL;
    const real r = x - fn * kLn2Hi;  // exact: fn·kLn2Hi is exact and close to x
    real rh, rl;
    twoSumL(r, -(fn * kLn2Lo), rh, rl);
    const real q = kE2 + rh * (kE3 + rh * (kE4 + rh * (kE5 + rh * (kE6 + rh * (kE7 + rh * (kE8 + rh * (kE9 +
                   rh * (kE10 + rh * (kE11 + rh * (kE12 + rh * (kE13 + rh * (kE14 + rh * (kE15 + rh * (kE16 +
                   rh * (kE17 + rh * kE18)))))))))))))));
    const real p = 1.0L + (rh + ((rh * rh) * q + rl * (1.0L + rh)));
    // 2^n in two steps so that neither factor leaves the normal range; only
    // a subnormal result rounds.
    const int32_t n = static_cast<int32_t>(fn);
    const int32_t half = n / 2;
    return (p * powerOfTwoL(half)) * powerOfTwoL(n - half);
}

// x = m·2^e with m in √½ .. √2; ln m = 2·atanh f, f = (m − 1)/(m + 1) carried
// as fh + fl, |f| <= 0.172, so 13 terms of the series leave under 2^−70.
real logCore(real x) {
    if (x != x) return x + x;
    if (x < 0.0L) return quietNaNL();
    if (x == 0.0L) return -infinityL();
    if (!isFiniteL(x)) return x;
    int32_t e = 0;
    uint64_t bits;
    uint16_t se;
    unpack(x, bits, se);
    if (se == 0) {  // subnormal
        unpack(x * powerOfTwoL(64), bits, se);
        e = -64;
    }
    e += static_cast<int32_t>(se) - 16383;
    real m = pack(bits, 16383);
    if (m > kSqrt2) m *= 0.5L, ++e;
    const real u = m - 1.0L;  // exact
    real sh, sl;
    twoSumL(m, 1.0L, sh, sl);
    const real fh = u / sh;
    real qh, ql;
    twoProductL(fh, sh, qh, ql);
    const real fl = (((u - qh) - ql) - fh * sl) / sh;
    const real g = fh * fh;
    const real series = g * (1.0L / 3 + g * (1.0L / 5 + g * (1.0L / 7 + g * (1.0L / 9 + g * (1.0L / 11 +
                        g * (1.0L / 13 + g * (1.0L / 15 + g * (1.0L / 17 + g * (1.0L / 19 + g * (1.0L / 21 +
                        g * (1.0L / 23 + g * (1.0L / 25 + g * (1.0L / 27)))))))))))));
    const real fe = static_cast<real>(e);
    real a, ae;
    twoSumL(fe * kLn2Hi, 2.0L * fh, a, ae);
    return a + (ae + (fe * kLn2Lo + (2.0L * fl + 2.0L * fh * series)));
}

// x = n·π/2 + y0 + y1 for |x| < 2^20·π/2, as reduceMedium does in double.
int32_t reduceMediumL(real x, real &y0, real &y1) {
    const real fn = (x * kInvPio2L + kRoundToIntegerL) - kRoundToIntegerL;
    const real r = x - fn * kPio2Part1L;
    real a, ea, b, eb;
    twoSumL(r, -(fn * kPio2Part2L), a, ea);
    twoSumL(a, -(fn * kPio2Part3L), b, eb);
    twoSumL(b, (ea + eb) - fn * kPio2Part4L, y0, y1);
    return static_cast<int32_t>(fn);
}

// The 64 bits of the 320-bit number limb[0] (lowest) .. limb[4] that start
// at bit pos (0 <= pos < 320).
uint64_t bitWindowL(const uint64_t limb[5], int32_t pos) {
    const int32_t k = pos / 64, s = pos % 64;
    uint64_t w = limb[k] >> s;
    if (s != 0 && k + 1 < 5) w |= limb[k + 1] << (64 - s);
    return w;
}

// The 192-bit fraction f[0] (highest) .. f[2], times 2^−192, as y0 + y1
// keeping its top 128 bits.
void fractionToReal(uint64_t f[3], real &y0, real &y1) {
    int32_t shift = 0;  // leading zeros of the 192 bits
    while (f[0] == 0 && shift < 192) f[0] = f[1], f[1] = f[2], f[2] = 0, shift += 64;
    if (f[0] == 0) {
        y0 = y1 = 0.0L;
        return;
    }
    while (!(f[0] >> 63)) {
        f[0] = (f[0] << 1) | (f[1] >> 63), f[1] = (f[1] << 1) | (f[2] >> 63), f[2] <<= 1;
        ++shift;
    }
    fastTwoSumL(scaledInteger(f[0], -64 - shift), scaledInteger(f[1], -128 - shift), y0, y1);
}

// x = n·π/2 + y0 + y1 for finite x >= 2^20·π/2: with x = m·2^e, the bits of
// 2/π that make m·2^e·(2/π) a multiple of 8 are skipped and the next 256
// multiplied by m in integers; three bits above the point give n mod 8, the
// 192 below it the fraction, which becomes y after × π/2.
int32_t reduceLargeL(real x, real &y0, real &y1) {
    uint64_t m;
    uint16_t se;
    unpack(x, m, se);
    const int32_t e = static_cast<int32_t>(se & 0x7FFF) - 16383 - 63;
    const int32_t skip = e > 3 ? e - 3 : 0;
    const int32_t j = skip / 64, s = skip % 64;
    uint64_t w[4];
    for (int32_t k = 0; k < 4; ++k)
        w[k] = s == 0 ? kTwoOverPi[j + k] : (kTwoOverPi[j + k] << s) | (kTwoOverPi[j + k + 1] >> (64 - s));
    typedef unsigned __int128 u128;
    const u128 t3 = static_cast<u128>(m) * w[3];
    const u128 t2 = static_cast<u128>(m) * w[2] + (t3 >> 64);
    const u128 t1 = static_cast<u128>(m) * w[1] + (t2 >> 64);
    const u128 t0 = static_cast<u128>(m) * w[0] + (t1 >> 64);
    const uint64_t limb[5] = {static_cast<uint64_t>(t3), static_cast<uint64_t>(t2), static_cast<uint64_t>(t1),
                              static_cast<uint64_t>(t0), static_cast<uint64_t>(t0 >> 64)};
    const int32_t point = 256 + skip - e;  // bits below the binary point: 253 .. 299
    int32_t n = static_cast<int32_t>(bitWindowL(limb, point) & 7u);
    uint64_t f[3] = {bitWindowL(limb, point - 64), bitWindowL(limb, point - 128), bitWindowL(limb, point - 192)};
    const bool negative = (f[0] >> 63) != 0;
    if (negative) {  // fraction >= 1/2: take 1 − fraction from the next n
        ++n;
        f[0] = ~f[0], f[1] = ~f[1], f[2] = ~f[2];
        if (++f[2] == 0 && ++f[1] == 0) ++f[0];
    }
    real f0, f1, p, pe;
    fractionToReal(f, f0, f1);
    twoProductL(f0, kPio2HiL, p, pe);
    pe += f0 * kPio2LoL + f1 * kPio2HiL;
    fastTwoSumL(p, pe, y0, y1);
    if (negative) y0 = -y0, y1 = -y1;
    return n;
}

int32_t reduceL(real x, real &y0, real &y1) {
    const real ax = x < 0.0L ? -x : x;
    if (ax < kMediumLimitL) return reduceMediumL(x, y0, y1);
    const int32_t n = reduceLargeL(ax, y0, y1);
    if (x > 0.0L) return n;
    y0 = -y0, y1 = -y1;
    return -n;
}

// The kernels of sinKernel and cosKernel above, with the long double terms.
real sinKernelL(real y0, real y1, real z, real zl) {
    real v, vl, w, wl;
    twoProductL(z, y0, v, vl);
    vl += zl * y0;
    twoProductL(v, kSL3, w, wl);
    wl += v * kSL3Lo + vl * kSL3;
    const real s = kSL5 + z * (kSL7 + z * (kSL9 + z * (kSL11 + z * (kSL13 + z * (kSL15 + z * (kSL17 +
                   z * (kSL19 + z * (kSL21 + z * kSL23))))))));
    real r, re;
    twoSumL(y0, w, r, re);
    return r + (re + (wl + ((v * z) * s + y1 * (1.0L - 0.5L * z))));
}

real cosKernelL(real y0, real y1, real z, real zl) {
    const real hz = 0.5L * z;
    const real w = 1.0L - hz;
    const real c = kCL4 + z * (kCL6 + z * (kCL8 + z * (kCL10 + z * (kCL12 + z * (kCL14 + z * (kCL16 +
                   z * (kCL18 + z * (kCL20 + z * kCL22))))))));
    return w + ((((1.0L - w) - hz) - 0.5L * zl) + ((z * z) * c - y0 * y1));
}

// Quadrant n and the kernels' inputs for finite, not tiny x.
int32_t prepareL(real x, real &y0, real &y1, real &z, real &zl) {
    const int32_t n = reduceL(x, y0, y1) & 3;
    twoProductL(y0, y0, z, zl);
    return n;
}

real sinCore(real x) {
    if (!isFiniteL(x)) return quietNaNL();
    if (isTinyL(x)) return x;
    real y0, y1, z, zl;
    const int32_t n = prepareL(x, y0, y1, z, zl);
    if (n == 0) return sinKernelL(y0, y1, z, zl);
    if (n == 1) return cosKernelL(y0, y1, z, zl);
    if (n == 2) return -sinKernelL(y0, y1, z, zl);
    return -cosKernelL(y0, y1, z, zl);
}

real cosCore(real x) {
    if (!isFiniteL(x)) return quietNaNL();
    if (isTinyL(x)) return 1.0L;
    real y0, y1, z, zl;
    const int32_t n = prepareL(x, y0, y1, z, zl);
    if (n == 0) return cosKernelL(y0, y1, z, zl);
    if (n == 1) return -sinKernelL(y0, y1, z, zl);
    if (n == 2) return -cosKernelL(y0, y1, z, zl);
    return sinKernelL(y0, y1, z, zl);
}

void sinCosCore(real x, real &s, real &c) {
    if (!isFiniteL(x)) {
        s = c = quietNaNL();
        return;
    }
    if (isTinyL(x)) {
        s = x, c = 1.0L;
        return;
    }
    real y0, y1, z, zl;
    const int32_t n = prepareL(x, y0, y1, z, zl);
    const real sy = sinKernelL(y0, y1, z, zl), cy = cosKernelL(y0, y1, z, zl);
    s = n == 0 ? sy : n == 1 ? cy : n == 2 ? -sy : -cy;
    c = n == 0 ? cy : n == 1 ? -sy : n == 2 ? -cy : sy;
}

}  // namespace

namespace fpm {

// Below 2^−27, x − x³/6 and 1 − x²/2 round to x and 1; answering early also
// keeps the sign of −0.
double sin(double x) {
    if (!isFinite(x)) return x - x;
    if (isTiny(x)) return x;
    double y0, y1, z, zl;
    const int32_t n = reduce(x, y0, y1) & 3;
    twoProduct(y0, y0, z, zl);
    if (n == 0) return sinKernel(y0, y1, z, zl);
    if (n == 1) return cosKernel(y0, y1, z, zl);
    if (n == 2) return -sinKernel(y0, y1, z, zl);
    return -cosKernel(y0, y1, z, zl);
}

double cos(double x) {
    if (!isFinite(x)) return x - x;
    if (isTiny(x)) return 1.0;
    double y0, y1, z, zl;
    const int32_t n = reduce(x, y0, y1) & 3;
    twoProduct(y0, y0, z, zl);
    if (n == 0) return cosKernel(y0, y1, z, zl);
    if (n == 1) return -sinKernel(y0, y1, z, zl);
    if (n == 2) return -cosKernel(y0, y1, z, zl);
    return sinKernel(y0, y1, z, zl);
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
    double y0, y1, z, zl;
    const int32_t n = reduce(x, y0, y1) & 3;
    twoProduct(y0, y0, z, zl);
    const double sy = sinKernel(y0, y1, z, zl), cy = cosKernel(y0, y1, z, zl);
    s = n == 0 ? sy : n == 1 ? cy : n == 2 ? -sy : -cy;
    c = n == 0 ? cy : n == 1 ? -sy : n == 2 ? -cy : sy;
}

// |x| <= 1: the grid on x; 1 < |x| < 2^60: π/2 − atan(1/x) with 1/x carried
// as two doubles; beyond, π/2 rounded.
double atan(double x) {
    if (x != x) return x + x;
    const bool negative = (bitsOf(x) >> 63) != 0;  // −0 included
    const double ax = negative ? -x : x;
    double r;
    if (ax <= 1.0) {
        r = atanNear(ax, 0.0, false);
    } else if (ax < 0x1p60) {
        const double u0 = 1.0 / ax;
        double ph, pl;
        twoProduct(u0, ax, ph, pl);
        const double u1 = ((1.0 - ph) - pl) / ax;
        r = atanNear(u0, u1, true);
    } else {
        r = kPio2Hi;
    }
    return negative ? -r : r;
}

long double expl(long double x) { return withExtendedPrecision(expCore, x); }

long double logl(long double x) { return withExtendedPrecision(logCore, x); }

long double sinl(long double x) { return withExtendedPrecision(sinCore, x); }

long double cosl(long double x) { return withExtendedPrecision(cosCore, x); }

void sinCosl(long double x, long double &s, long double &c) {
    const uint16_t saved = raisePrecision();
    volatile real in = x;
    real sy, cy;
    sinCosCore(in, sy, cy);
    volatile real sinOut = sy, cosOut = cy;
    restorePrecision(saved);
    s = sinOut, c = cosOut;
}

}  // namespace fpm
