/* Everything of the binary boundary in one include. */
#ifndef KWANTEL_HOST_API_H
#define KWANTEL_HOST_API_H

#include "host_constants.h"
#include "host_record.h"
#include "host_types.h"
#include "kernel.h"
#include "module_info.h"
#include "registration.h"
#include "table_at.h"
#include "table_bc.h"
#include "table_bd.h"
#include "table_bm.h"
#include "table_bo.h"
#include "table_fn.h"
#include "table_gd.h"
#include "table_ge.h"
#include "table_lr.h"
#include "table_pl.h"
#include "table_st.h"

#endif
